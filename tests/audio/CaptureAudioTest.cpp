#include "audio/CaptureAudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "doubles/FakeAudio.h"

namespace korvalen {
namespace {

using test::FakeAudioInput;

std::array<float, NB_BARRES> niveauxUniformes(float n) {
    std::array<float, NB_BARRES> a;
    a.fill(n);
    return a;
}

using namespace std::chrono_literals;

class CaptureAudioTest : public ::testing::Test {
protected:
    FakeAudioInput entree;
    CaptureAudio capture{entree, 123ms, [this] { return entree.clock(); }};
    Variables v;
};

TEST_F(CaptureAudioTest, OuvreLeNumeroDonnePuisDemarre) {
    EXPECT_TRUE(capture.ouvrirEtDemarrer(3));
    EXPECT_EQ(entree.openedDevices, std::vector<int>{3});
    EXPECT_EQ(entree.starts, 1);
    EXPECT_TRUE(capture.ouvert());
}

// Blocks fitted to the period: one capture up to 20 ms and whenever the gain or the beats look at
// every block; half the period above, at most 70 ms, so that at 200 ms the path wakes about 20
// times a second; the device's own blocks for the bands, at any period.
TEST(EchantillonsParBloc, SelonLaPeriodeEtLAnalyse) {
    const ReglagesAnalyse aucune{}, bandes{true, false, false}, gain{false, true, false}, rythme{false, false, true};
    const struct {
        int periode;
        ReglagesAnalyse analyse;
        int bloc;
    } cas[] = {
        {1, aucune, ECHANTILLONS_CAPTURE},   {10, aucune, ECHANTILLONS_CAPTURE}, {20, aucune, ECHANTILLONS_CAPTURE},
        {46, aucune, 253},                   {200, aucune, 771},                 {32767, aucune, 771},
        {200, bandes, BLOC_DU_PERIPHERIQUE}, {10, bandes, BLOC_DU_PERIPHERIQUE}, {200, gain, ECHANTILLONS_CAPTURE},
        {200, rythme, ECHANTILLONS_CAPTURE},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(echantillonsParBloc(c.periode, c.analyse), c.bloc) << c.periode << " ms";
    }
}

TEST_F(CaptureAudioTest, LeBlocDemandeEstTransmisALEntree) {
    EXPECT_EQ(entree.bloc, ECHANTILLONS_CAPTURE);
    EXPECT_TRUE(capture.ouvrirEtDemarrer(0, 551));
    EXPECT_EQ(entree.bloc, 551);
    EXPECT_TRUE(capture.ouvrirEtDemarrer(0));
    EXPECT_EQ(entree.bloc, ECHANTILLONS_CAPTURE);
}

TEST_F(CaptureAudioTest, EchecDOuvertureNeDemarrePasEtPeutEtreRetente) {
    entree.openSucceeds = false;
    EXPECT_FALSE(capture.ouvrirEtDemarrer(-1));
    EXPECT_EQ(entree.starts, 0);
    EXPECT_FALSE(capture.ouvert());
    entree.openSucceeds = true;
    EXPECT_TRUE(capture.ouvrirEtDemarrer(-1));
    EXPECT_EQ(entree.openedDevices, (std::vector<int>{-1, -1}));
}

// A stream that opens but does not start is a failed opening, not a run of silence.
TEST_F(CaptureAudioTest, UnDemarrageRateEstUneOuvertureRatee) {
    entree.startSucceeds = false;
    EXPECT_FALSE(capture.ouvrirEtDemarrer(0));
    EXPECT_FALSE(capture.ouvert());
    entree.startSucceeds = true;
    EXPECT_TRUE(capture.ouvrirEtDemarrer(0));
    EXPECT_TRUE(capture.ouvert());
}

TEST_F(CaptureAudioTest, LesNiveauxArriventDansVariablesAvecLaBorne) {
    capture.ouvrirEtDemarrer(0);
    entree.queue(128, {{10, 0}, {50, 200}, {90, 0}, {100, 60}});
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::Ok);
    EXPECT_EQ(v.niveaux, (std::array<float, NB_BARRES>{100, 0, 0, 0, 72, 0, 0, 0, 68, 0}));
    EXPECT_EQ(entree.lastTimeout, std::chrono::milliseconds(123));
}

// Before any sound the buffer is silence: zeros would light every bar at 100.
TEST_F(CaptureAudioTest, AvantToutSonLesNiveauxSontNuls) {
    v.niveaux = niveauxUniformes(42);
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::NotOpen);
    EXPECT_EQ(v.niveaux, niveauxUniformes(0));

    capture.ouvrirEtDemarrer(0);
    v.niveaux = niveauxUniformes(42);
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::Starting);
    EXPECT_EQ(v.niveaux, niveauxUniformes(0));
}

// A run starts from silence: the bars do not show the last sound of the previous run while the
// device has not delivered yet, and stopping waits for the device no longer than a capture would.
TEST_F(CaptureAudioTest, UnNouveauLancementPartDuSilence) {
    capture.ouvrirEtDemarrer(0);
    entree.queue(0);
    ASSERT_EQ(capture.CaptureLevels(v), CaptureResult::Ok);
    ASSERT_EQ(v.niveaux, niveauxUniformes(100));
    capture.CloseDevice();
    EXPECT_EQ(entree.lastCloseTimeout, 123ms);

    capture.ouvrirEtDemarrer(0);
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::Starting);
    EXPECT_EQ(v.niveaux, niveauxUniformes(0));
}

// A device just started may take up to 2 s to deliver (a monitor source does); until it first
// delivers it is Starting, not silent. After that first delivery, or after those 2 s, the bound of
// 250 ms applies. One capture per 200 ms refresh tick, each starting when the previous one ended
// if it ran late; "S" Starting, "O" Ok, "T" TimedOut.
TEST(CaptureAudioDemarrage, DelaiPuisBorne) {
    struct Cas {
        const char* nom;
        std::vector<int> arriveesMs;  // when each buffer arrives, from the start
        std::string attendu;          // one result per tick
    };
    const Cas cas[] = {
        {"prompt, then a stall", {0, 200}, "OOTT"},
        {"first delivery at 1.9 s, then a stall", {1900}, "SSSSSSSOT"},
        {"never delivers", {}, "SSSSSSSSTT"},
        {"first delivery after the delay", {2100}, "SSSSSSSSOT"},
        {"a pause after the first delivery", {0, 1000}, "OTTTO"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        FakeAudioInput entree;
        CaptureAudio capture{entree, CaptureAudio::ATTENTE_MAX, [&] { return entree.clock(); }};
        Variables v;
        for (int ms : c.arriveesMs) entree.queue(0, {}, std::chrono::milliseconds(ms));
        ASSERT_TRUE(capture.ouvrirEtDemarrer(0));
        std::string obtenu;
        for (std::size_t tick = 0; tick < c.attendu.size(); ++tick) {
            entree.now = std::max(entree.now, FakeAudioInput::Clock::time_point(200ms * tick));
            const CaptureResult r = capture.CaptureLevels(v);
            obtenu += r == CaptureResult::Ok ? 'O' : r == CaptureResult::TimedOut ? 'T' : r == CaptureResult::Starting ? 'S' : 'N';
            // The bars stay at silence until the first delivery; no wait runs past the delay.
            if (r == CaptureResult::Starting) {
                EXPECT_EQ(v.niveaux, niveauxUniformes(0)) << "tick " << tick;
                EXPECT_LE(entree.now, FakeAudioInput::Clock::time_point(CaptureAudio::DELAI_DEMARRAGE)) << "tick " << tick;
            }
            EXPECT_LE(entree.lastTimeout, CaptureAudio::ATTENTE_MAX);
        }
        EXPECT_EQ(obtenu, c.attendu);
    }
}

TEST_F(CaptureAudioTest, SansLivraisonLesDerniersNiveauxRestent) {
    capture.ouvrirEtDemarrer(0);
    entree.queue(20);
    ASSERT_EQ(capture.CaptureLevels(v), CaptureResult::Ok);
    const auto mesures = niveauxUniformes(100);
    ASSERT_EQ(v.niveaux, mesures);

    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::TimedOut);
    EXPECT_EQ(v.niveaux, mesures);

    capture.CloseDevice();
    EXPECT_FALSE(capture.ouvert());
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::NotOpen);
    EXPECT_EQ(v.niveaux, mesures);
}

TEST_F(CaptureAudioTest, FermerSansPeripheriqueOuvertEstSansEffet) {
    capture.CloseDevice();
    capture.CloseDevice();
    EXPECT_FALSE(capture.ouvert());
    EXPECT_TRUE(capture.ouvrirEtDemarrer(1));
    entree.queue(138);
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::Ok);
    EXPECT_EQ(v.niveaux, niveauxUniformes(10));
}

}  // namespace
}  // namespace korvalen
