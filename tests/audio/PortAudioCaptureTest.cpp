// The real PortAudio -> ALSA path, each case in its own process with its own ALSA configuration.
#include "audio/PortAudioCapture.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "AudioTestEnvironment.h"
#include "audio/AnneauSon.h"

// Every change of the environment in this process is counted: one made while PortAudio's and the
// sound server's threads run may meet their reading it.
namespace {
std::atomic<int> changementsEnvironnement{0};
template <class F>
F reelle(const char* nom) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, nom));
}
}  // namespace
extern "C" int setenv(const char* nom, const char* valeur, int remplacer) {
    ++changementsEnvironnement;
    return reelle<int (*)(const char*, const char*, int)>("setenv")(nom, valeur, remplacer);
}
extern "C" int unsetenv(const char* nom) {
    ++changementsEnvironnement;
    return reelle<int (*)(const char*)>("unsetenv")(nom);
}
extern "C" int putenv(char* texte) {
    ++changementsEnvironnement;
    return reelle<int (*)(char*)>("putenv")(texte);
}

namespace korvalen {
namespace {

using namespace std::chrono_literals;
using test::PrivateSoundServer;

constexpr auto BORNE = 500ms;

class RealCapture : public ::testing::Test {
protected:
    /// Starts PortAudio on the configuration written so far; the layer objects share one session.
    void startPortAudio(const std::string& alsaConfig) {
        test::useAlsaConfig(dir, alsaConfig);
        session.emplace();
        ASSERT_TRUE(session->initialised());
        cartes.emplace(*session);
        entree.emplace(*session);
    }
    /// Where `capture` lies in the fed bytes, or -1 when it is not a contiguous run of them.
    long offsetInInput(const TamponCapture& capture) const {
        const auto at = std::search(input.begin(), input.end(), capture.begin(), capture.end());
        return at == input.end() ? -1 : static_cast<long>(at - input.begin());
    }
    /// Opens and starts device `numero`, and checks that one capture is a run of the fed samples.
    void expectFedBytesFrom(int numero) {
        ASSERT_TRUE(entree->open(numero));
        entree->start();
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        EXPECT_GE(offsetInInput(t), 0);
    }
    /// A real-time device of known samples, optionally after an output-only device.
    std::string knownSamplesConfig(bool withOutputOnly) {
        input = test::writeKnownSamples(dir / "input.raw", 2'000'000);
        std::string config = withOutputOnly ? "pcm.speakers { type asym playback.pcm { type null } }\n" : "";
        return config + test::filePcm("!default", dir / "input.raw", true);
    }

    test::TemporaryFolder folder;
    const std::filesystem::path dir{folder.path()};
    std::optional<PortAudioSession> session;
    std::optional<PortAudioDeviceEnumerator> cartes;
    std::optional<PortAudioInput> entree;
    std::vector<std::uint8_t> input;  // the 8-bit samples the device's 16-bit ones give
};

/// Devices that need no sound server.
class AlsaCaptureTest : public RealCapture {};

/// Devices paced in real time by a private sound server, PulseAudio or PipeWire.
class ServerCaptureTest : public RealCapture {
protected:
    void SetUp() override {
        server.emplace(dir);
        ASSERT_TRUE(server->ready()) << "private " << server->kind() << " did not start: " << server->failure();
    }
    void TearDown() override {
        entree.reset();
        session.reset();  // before the server, which a closing stream may still be talking to
    }
    std::optional<PrivateSoundServer> server;
};

TEST_F(ServerCaptureTest, CapturesContiguousRunsOfTheFedSamplesArrivedAfterEachRequest) {
    startPortAudio(knownSamplesConfig(false));
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u + session->sources().size());  // then the server's own sources
    EXPECT_EQ(liste[0].name, "default");
    EXPECT_TRUE(liste[0].supportsFormat);

    ASSERT_TRUE(entree->open(0));
    entree->start();
    long precedent = -ECHANTILLONS_CAPTURE;
    for (int i = 0; i < 4; ++i) {
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        const long offset = offsetInInput(t);
        ASSERT_GE(offset, 0) << "capture " << i << " is not a run of the fed samples";
        EXPECT_GE(offset, precedent + ECHANTILLONS_CAPTURE) << "capture " << i << " overlaps the previous one";
        precedent = offset;
    }
    // Sound that arrives between two captures is never looked at: after 200 ms (2205 samples)
    // the next capture starts well past the end of the previous one.
    std::this_thread::sleep_for(200ms);
    TamponCapture t{};
    ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
    EXPECT_GT(offsetInInput(t), precedent + 5 * ECHANTILLONS_CAPTURE);
}

// Blocks of 50 ms, as at long refresh periods: each capture is still 111 contiguous fed samples,
// the newest of the block that arrives after the request, later than the previous capture.
TEST_F(ServerCaptureTest, LargerBlocksStillGiveTheNewestRunAfterEachRequest) {
    startPortAudio(knownSamplesConfig(false));
    entree->choisirBloc(551);
    ASSERT_TRUE(entree->open(0));
    ASSERT_TRUE(entree->start());
    long precedent = -ECHANTILLONS_CAPTURE;
    for (int i = 0; i < 4; ++i) {
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        const long offset = offsetInInput(t);
        ASSERT_GE(offset, 0) << "capture " << i << " is not a run of the fed samples";
        EXPECT_GE(offset, precedent + ECHANTILLONS_CAPTURE) << "capture " << i << " overlaps the previous one";
        // The newest samples of a block end on a block's edge.
        EXPECT_EQ((offset + ECHANTILLONS_CAPTURE) % 551, 0) << "capture " << i << " is not the end of a block";
        precedent = offset;
    }
}

// Every sample the device delivers reaches the ring at full resolution, whether a capture waits
// for it or not: the ring's newest sound is one run of the fed 16-bit samples.
TEST_F(ServerCaptureTest, TheRingGetsEverySampleAtFullResolution) {
    startPortAudio(knownSamplesConfig(false));
    auto anneau = std::make_shared<AnneauSon>(1 << 15);
    entree->brancherAnneau(anneau);
    ASSERT_TRUE(entree->open(0));
    entree->start();
    TamponCapture t{};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
    const std::uint64_t total = anneau->total();
    ASSERT_GE(total, 3u * ECHANTILLONS_CAPTURE);
    std::vector<float> recu(static_cast<std::size_t>(std::min<std::uint64_t>(total, 1 << 15)));
    anneau->copierDerniers(recu.data(), recu.size());
    std::vector<std::int16_t> mots(recu.size());
    for (std::size_t i = 0; i < recu.size(); ++i) mots[i] = static_cast<std::int16_t>(std::lround(recu[i] * 32768.0f));

    const std::string brut = test::TemporaryFolder::read((dir / "input.raw").string());
    std::vector<std::int16_t> fournis(brut.size() / 2);
    std::memcpy(fournis.data(), brut.data(), fournis.size() * 2);
    EXPECT_NE(std::search(fournis.begin(), fournis.end(), mots.begin(), mots.end()), fournis.end());
    // The last capture lies among them.
    const long capture = offsetInInput(t);
    ASSERT_GE(capture, 0);
    const auto debutCapture = fournis.begin() + capture;
    EXPECT_NE(std::search(mots.begin(), mots.end(), debutCapture, debutCapture + ECHANTILLONS_CAPTURE), mots.end());
    entree->brancherAnneau(nullptr);
}

TEST_F(ServerCaptureTest, CloseStopsTheStreamAndReopeningWorks) {
    startPortAudio(knownSamplesConfig(false));
    ASSERT_TRUE(entree->open(-1));
    entree->start();
    TamponCapture t{};
    ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);

    entree->close(BORNE);
    EXPECT_FALSE(entree->isOpen());
    const TamponCapture avant = t;
    EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    EXPECT_EQ(t, avant);
    entree->close(BORNE);

    expectFedBytesFrom(0);
}

// Output-only devices are left out, and list position 0 still opens the first capture device.
TEST_F(ServerCaptureTest, ListsOnlyCaptureDevicesNumberedFromZero) {
    startPortAudio(knownSamplesConfig(true));
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u + session->sources().size());
    EXPECT_EQ(liste[0].name, "default");

    expectFedBytesFrom(0);
}

TEST_F(ServerCaptureTest, BadDeviceNumberFailsThenAGoodOneOpens) {
    startPortAudio(knownSamplesConfig(true));
    for (int numero : {1, 7, -2}) {
        EXPECT_FALSE(entree->open(numero)) << numero;
        EXPECT_FALSE(entree->isOpen());
        TamponCapture t{};
        EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    }
    expectFedBytesFrom(0);
}

TEST_F(AlsaCaptureTest, NoDeviceGivesAnEmptyListAndOpenFailsCleanly) {
    startPortAudio("pcm.nothing { type hw card 7 }\n");
    EXPECT_TRUE(cartes->devices().empty());
    EXPECT_FALSE(entree->open(-1));
    EXPECT_FALSE(entree->open(0));
    TamponCapture t{};
    EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    entree->close(BORNE);
}

// A device plugged in after the start is listed once looked for, and opens; an open stream keeps
// PortAudio from starting again under it.
TEST_F(AlsaCaptureTest, ADevicePluggedInLaterIsListedWhenLookedFor) {
    startPortAudio("pcm.nothing { type hw card 7 }\n");
    EXPECT_TRUE(cartes->devices().empty());
    input = test::writeKnownSamples(dir / "input.raw", 2'000'000);
    std::filesystem::create_directories(dir / "branchee");
    test::useAlsaConfig(dir / "branchee", test::filePcm("!default", dir / "input.raw", false));
    EXPECT_TRUE(cartes->devices().empty()) << "PortAudio lists its devices once unless asked";
    cartes->rechercherCartes();
    ASSERT_EQ(cartes->devices().size(), 1u);
    expectFedBytesFrom(0);
    cartes->rechercherCartes();
    EXPECT_EQ(cartes->devices().size(), 1u);
    TamponCapture t{};
    EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::Ok) << "the open stream was pulled away";
    entree->close(BORNE);
}

// The same device in blocks of 70 ms of its own rate, as at long refresh periods: each capture
// is still the converted sine.
TEST_F(AlsaCaptureTest, ConvertedDeviceInLargerBlocks) {
    startPortAudio("pcm_type.korvalen_fixed_rate { lib \"" FIXED_RATE_PCM "\" }\n"
                   "pcm.!default { type korvalen_fixed_rate }\n");
    ASSERT_EQ(cartes->devices().size(), 1u);
    entree->choisirBloc(771);
    ASSERT_TRUE(entree->open(0));
    ASSERT_TRUE(entree->start());
    for (int i = 0; i < 3; ++i) {
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        const auto [bas, haut] = std::minmax_element(t.begin(), t.end());
        EXPECT_NEAR(*bas, 64, 3) << "capture " << i;
        EXPECT_NEAR(*haut, 192, 3) << "capture " << i;
        for (int n = 0; n + 25 < ECHANTILLONS_CAPTURE; ++n) ASSERT_NEAR(t[n + 25], t[n], 2) << "capture " << i;
    }
    entree->close(BORNE);
}

// A device that only offers 48000 Hz stereo 16-bit, carrying a 441 Hz sine at half scale on its
// first channel: the capture converts it to 11025 Hz mono 8-bit, where the sine repeats every
// 25 samples and swings between 64 and 192.
TEST_F(AlsaCaptureTest, DeviceWithoutTheFormatIsConvertedFromItsOwnRate) {
    startPortAudio("pcm_type.korvalen_fixed_rate { lib \"" FIXED_RATE_PCM "\" }\n"
                   "pcm.!default { type korvalen_fixed_rate }\n");
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_TRUE(liste[0].supportsFormat);

    auto anneau = std::make_shared<AnneauSon>();
    entree->brancherAnneau(anneau);
    ASSERT_TRUE(entree->open(0));
    entree->start();
    constexpr int PERIODE = 25;
    for (int i = 0; i < 3; ++i) {
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        const auto [bas, haut] = std::minmax_element(t.begin(), t.end());
        EXPECT_NEAR(*bas, 64, 3) << "capture " << i;
        EXPECT_NEAR(*haut, 192, 3) << "capture " << i;
        for (int n = 0; n + PERIODE < ECHANTILLONS_CAPTURE; ++n) {
            ASSERT_NEAR(t[n + PERIODE], t[n], 2) << "capture " << i << ", sample " << n;
        }
    }
    // The ring gets the converted sine before its narrowing to 8 bits.
    std::array<float, 4 * PERIODE> recu{};
    anneau->copierDerniers(recu.data(), recu.size());
    const auto [bas, haut] = std::minmax_element(recu.begin(), recu.end());
    EXPECT_NEAR(*bas, -0.5f, 0.02f);
    EXPECT_NEAR(*haut, 0.5f, 0.02f);
    EXPECT_TRUE(std::any_of(recu.begin(), recu.end(), [](float x) { return std::abs(x * 128 - std::round(x * 128)) > 0.05f; }))
        << "the ring holds more than the 8-bit steps";
    entree->brancherAnneau(nullptr);
}

// A server that hangs (stopped by a signal) delivers no more than what was already on its way:
// then each capture returns at its bound and leaves the buffer alone, and closing the stream does
// not wait for the server either. The closing left behind ends once the server answers again,
// and a new stream works.
// Opening on a server that hangs fails within its bound, as for a missing device; the late opening
// is closed in the background, and once the server answers again a new opening captures.
TEST_F(ServerCaptureTest, FrozenServerFailsTheOpeningInItsBoundThenAThawedOneCaptures) {
    startPortAudio("pcm.!default { type pulse }\n");
    server->freeze();
    std::mutex m;
    std::condition_variable cv;
    bool returned = false;
    std::atomic<bool> watchdogThawed{false};
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, 30s, [&] { return returned; })) {
            server->thaw();
            watchdogThawed = true;
        }
    });
    const bool opened = entree->open(-1) && entree->start();
    {
        const std::lock_guard lock(m);
        returned = true;
    }
    cv.notify_one();
    watchdog.join();
    EXPECT_FALSE(watchdogThawed) << "opening waited for the " << server->kind() << " server";
    EXPECT_FALSE(opened);
    EXPECT_FALSE(entree->isOpen());

    server->thaw();
    ASSERT_TRUE(entree->open(-1));
    ASSERT_TRUE(entree->start());
    TamponCapture t{};
    EXPECT_EQ(entree->capture(t, 5s), CaptureResult::Ok);
}

// The listing at start-up does not wait for a server that hangs: it lists what answered and says
// once that the server does not answer.
TEST_F(ServerCaptureTest, FrozenServerLetsTheListingEndAndIsToldOnce) {
    startPortAudio("pcm.!default { type pulse }\n");
    std::vector<std::string> said;
    PortAudioDeviceEnumerator liste(*session, [&](const Texte& texte) { said.push_back(texte.francais()); });
    const std::size_t n = liste.devices().size();
    ASSERT_GE(n, 2u) << "the device and the server's sources";
    EXPECT_TRUE(liste.devices()[0].supportsFormat);
    EXPECT_TRUE(said.empty());
    server->freeze();
    for (int i = 0; i < 2; ++i) {
        const std::vector<AudioDeviceInfo> vus = liste.devices();  // the sources as last listed
        ASSERT_EQ(vus.size(), n);
        EXPECT_TRUE(vus[0].supportsFormat) << "a device whose probe did not answer stays offered";
    }
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("ne répond pas"), std::string::npos) << said[0];
    server->thaw();
}

// What the computer plays, one click away: an output's monitor is listed by its description and
// captured from alone, whatever the server's default source is, which stays silent, and without
// a change of the environment while other threads run.
TEST_F(ServerCaptureTest, AMonitorIsListedByItsDescriptionAndCapturedAlone) {
    // The "pulse" device as libasound2-plugins defines it, taking a source as its argument.
    startPortAudio("pcm.!default { type pulse }\n"
                   "pcm.pulse { @args [ DEVICE ] @args.DEVICE { type string default \"\" } type pulse device $DEVICE }\n");
    ASSERT_EQ(std::system("pactl load-module module-null-sink sink_name=scene sink_properties=device.description=Scene "
                          "rate=11025 channels=1 channel_map=mono format=s16le >/dev/null 2>&1"),
              0);
    const auto liste = cartes->devices();
    const auto moniteur = std::find_if(liste.begin(), liste.end(),
                                       [](const AudioDeviceInfo& d) { return d.name == "Monitor of Scene"; });
    ASSERT_NE(moniteur, liste.end()) << "no monitor of the sink among " << liste.size() << " devices";
    EXPECT_TRUE(moniteur->supportsFormat);
    input = test::writeKnownSamples(dir / "scene.raw", 2'000'000);
    const std::string pid = (dir / "pacat.pid").string();
    ASSERT_EQ(std::system(("pacat --playback -d scene --format=s16le --rate=11025 --channels=1 --raw --latency-msec=20 " +
                           (dir / "scene.raw").string() + " & echo $! > " + pid).c_str()),
              0);
    const int avant = changementsEnvironnement;
    ASSERT_TRUE(entree->open(static_cast<int>(moniteur - liste.begin())));
    ASSERT_TRUE(entree->start());
    EXPECT_EQ(changementsEnvironnement, avant) << "the environment changed while opening a source";
    TamponCapture t{};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(entree->capture(t, 5s), CaptureResult::Ok);
        EXPECT_GE(offsetInInput(t), 0) << "capture " << i << " is not the played sound";
    }
    entree->close(250ms);
    // The default source of the server hears nothing of it.
    ASSERT_TRUE(entree->open(0));
    ASSERT_TRUE(entree->start());
    ASSERT_EQ(entree->capture(t, 5s), CaptureResult::Ok);
    EXPECT_EQ(std::count(t.begin(), t.end(), 128), ECHANTILLONS_CAPTURE);
    std::system(("kill $(cat " + pid + ")").c_str());
}

TEST_F(ServerCaptureTest, FrozenServerHoldsNeitherCaptureNorClose) {
    startPortAudio("pcm.!default { type pulse }\n");
    ASSERT_TRUE(entree->open(-1));
    entree->start();
    TamponCapture t{};
    ASSERT_EQ(entree->capture(t, 5s), CaptureResult::Ok);

    server->freeze();
    // Samples already on their way when the server stopped (the client's and ALSA's buffers) may
    // still arrive, sooner or later on a loaded machine; once they are used up nothing more comes.
    for (int reste = 0; entree->capture(t, 200ms) == CaptureResult::Ok; ++reste) {
        ASSERT_LT(reste, 400) << "the " << server->kind() << " server still delivers while stopped";
    }
    TamponCapture avant;
    avant.fill(77);
    for (int i = 0; i < 2; ++i) {
        t = avant;
        EXPECT_EQ(entree->capture(t, 200ms), CaptureResult::TimedOut);
        EXPECT_EQ(t, avant);
    }

    // Should closing wait for the server, a watchdog resumes it long after the bound, and says so.
    std::mutex m;
    std::condition_variable cv;
    bool closed = false;
    std::atomic<bool> watchdogThawed{false};
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, 20s, [&] { return closed; })) {
            server->thaw();
            watchdogThawed = true;
        }
    });
    entree->close(250ms);
    {
        const std::lock_guard lock(m);
        closed = true;
    }
    cv.notify_one();
    watchdog.join();
    EXPECT_FALSE(watchdogThawed) << "closing waited for the " << server->kind() << " server";
    EXPECT_FALSE(entree->isOpen());
    EXPECT_EQ(entree->capture(t, 200ms), CaptureResult::NotOpen);

    server->thaw();
    const auto giveUp = std::chrono::steady_clock::now() + 60s;
    while (session->pendingCloses() > 0 && std::chrono::steady_clock::now() < giveUp) std::this_thread::sleep_for(20ms);
    EXPECT_EQ(session->pendingCloses(), 0);
    ASSERT_TRUE(entree->open(-1));
    entree->start();
    EXPECT_EQ(entree->capture(t, 5s), CaptureResult::Ok);
}

}  // namespace
}  // namespace korvalen
