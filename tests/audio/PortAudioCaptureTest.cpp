// The real PortAudio -> ALSA path, each case in its own process with its own ALSA configuration.
#include "audio/PortAudioCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "AudioTestEnvironment.h"

namespace korvalen {
namespace {

using namespace std::chrono_literals;
using test::PrivatePulse;

constexpr auto BORNE = 500ms;

class RealCaptureTest : public ::testing::Test {
protected:
    /// Starts PortAudio on the configuration written so far; the layer objects share one session.
    void startPortAudio(const std::string& alsaConfig) {
        test::useAlsaConfig(dir, alsaConfig);
        session.emplace();
        ASSERT_TRUE(session->initialised());
        cartes.emplace(*session);
        entree.emplace(*session);
    }
    void startPulse() {
        pulse.emplace(dir);
        ASSERT_TRUE(pulse->ready()) << "private PulseAudio did not start";
    }
    /// Where `capture` lies in the fed bytes, or -1 when it is not a contiguous run of them.
    long offsetInInput(const TamponCapture& capture) const {
        const auto at = std::search(input.begin(), input.end(), capture.begin(), capture.end());
        return at == input.end() ? -1 : static_cast<long>(at - input.begin());
    }
    /// Opens and starts device `numero`, and checks that one capture is a run of the fed bytes.
    void expectFedBytesFrom(int numero) {
        ASSERT_TRUE(entree->open(numero));
        entree->start();
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        EXPECT_GE(offsetInInput(t), 0);
    }
    /// A real-time device of known bytes, optionally after an output-only device.
    std::string knownBytesConfig(bool withOutputOnly) {
        input = test::writeKnownBytes(dir / "input.raw", 2'000'000);
        std::string config = withOutputOnly ? "pcm.speakers { type asym playback.pcm { type null } }\n" : "";
        return config + test::filePcm("!default", dir / "input.raw", true);
    }

    test::TemporaryFolder folder;
    const std::filesystem::path dir{folder.path()};
    std::optional<PrivatePulse> pulse;
    std::optional<PortAudioSession> session;
    std::optional<PortAudioDeviceEnumerator> cartes;
    std::optional<PortAudioInput> entree;
    std::vector<std::uint8_t> input;
};

TEST_F(RealCaptureTest, CapturesContiguousRunsOfTheFedBytesArrivedAfterEachRequest) {
    startPulse();
    startPortAudio(knownBytesConfig(false));
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_EQ(liste[0].name, "default");
    EXPECT_TRUE(liste[0].supportsFormat);

    ASSERT_TRUE(entree->open(0));
    entree->start();
    long precedent = -ECHANTILLONS_CAPTURE;
    for (int i = 0; i < 4; ++i) {
        TamponCapture t{};
        ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);
        const long offset = offsetInInput(t);
        ASSERT_GE(offset, 0) << "capture " << i << " is not a run of the fed bytes";
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

TEST_F(RealCaptureTest, CloseStopsTheStreamAndReopeningWorks) {
    startPulse();
    startPortAudio(knownBytesConfig(false));
    ASSERT_TRUE(entree->open(-1));
    entree->start();
    TamponCapture t{};
    ASSERT_EQ(entree->capture(t, BORNE), CaptureResult::Ok);

    entree->close();
    EXPECT_FALSE(entree->isOpen());
    const TamponCapture avant = t;
    EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    EXPECT_EQ(t, avant);
    entree->close();

    expectFedBytesFrom(0);
}

// Output-only devices are left out, and list position 0 still opens the first capture device.
TEST_F(RealCaptureTest, ListsOnlyCaptureDevicesNumberedFromZero) {
    startPulse();
    startPortAudio(knownBytesConfig(true));
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_EQ(liste[0].name, "default");

    expectFedBytesFrom(0);
}

TEST_F(RealCaptureTest, BadDeviceNumberFailsThenAGoodOneOpens) {
    startPulse();
    startPortAudio(knownBytesConfig(true));
    for (int numero : {1, 7, -2}) {
        EXPECT_FALSE(entree->open(numero)) << numero;
        EXPECT_FALSE(entree->isOpen());
        TamponCapture t{};
        EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    }
    expectFedBytesFrom(0);
}

TEST_F(RealCaptureTest, NoDeviceGivesAnEmptyListAndOpenFailsCleanly) {
    startPortAudio("pcm.nothing { type hw card 7 }\n");
    EXPECT_TRUE(cartes->devices().empty());
    EXPECT_FALSE(entree->open(-1));
    EXPECT_FALSE(entree->open(0));
    TamponCapture t{};
    EXPECT_EQ(entree->capture(t, BORNE), CaptureResult::NotOpen);
    entree->close();
}

// A device that only offers 48000 Hz stereo 16-bit, carrying a 441 Hz sine at half scale on its
// first channel: the capture converts it to 11025 Hz mono 8-bit, where the sine repeats every
// 25 samples and swings between 64 and 192.
TEST_F(RealCaptureTest, DeviceWithoutTheFormatIsConvertedFromItsOwnRate) {
    startPortAudio("pcm_type.korvalen_fixed_rate { lib \"" FIXED_RATE_PCM "\" }\n"
                   "pcm.!default { type korvalen_fixed_rate }\n");
    const auto liste = cartes->devices();
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_TRUE(liste[0].supportsFormat);

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
}

// A suspended source never delivers: the capture returns at its bound and leaves the buffer alone.
TEST_F(RealCaptureTest, SilentDeviceTimesOutWithinTheBound) {
    startPulse();
    ASSERT_TRUE(PrivatePulse::pactl("suspend-source nullsrc 1"));
    startPortAudio("pcm.!default { type pulse }\n");
    ASSERT_TRUE(entree->open(-1));
    entree->start();
    TamponCapture avant;
    avant.fill(77);
    for (int i = 0; i < 2; ++i) {
        TamponCapture t = avant;
        const auto debut = std::chrono::steady_clock::now();
        EXPECT_EQ(entree->capture(t, 200ms), CaptureResult::TimedOut);
        // Generous: only proves that the wait returned instead of hanging.
        EXPECT_LT(std::chrono::steady_clock::now() - debut, 10s);
        EXPECT_EQ(t, avant);
    }
    entree->close();
    EXPECT_FALSE(entree->isOpen());
}

}  // namespace
}  // namespace korvalen
