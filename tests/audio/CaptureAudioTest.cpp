#include "audio/CaptureAudio.h"

#include <gtest/gtest.h>

#include "doubles/FakeAudio.h"

namespace korvalen {
namespace {

using test::FakeAudioInput;

std::array<float, NB_BARRES> niveauxUniformes(float n) {
    std::array<float, NB_BARRES> a;
    a.fill(n);
    return a;
}

class CaptureAudioTest : public ::testing::Test {
protected:
    FakeAudioInput entree;
    CaptureAudio capture{entree, std::chrono::milliseconds(123)};
    Variables v;
};

TEST_F(CaptureAudioTest, OuvreLeNumeroDonnePuisDemarre) {
    EXPECT_TRUE(capture.ouvrirEtDemarrer(3));
    EXPECT_EQ(entree.openedDevices, std::vector<int>{3});
    EXPECT_EQ(entree.starts, 1);
    EXPECT_TRUE(capture.ouvert());
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
    EXPECT_EQ(capture.CaptureLevels(v), CaptureResult::TimedOut);
    EXPECT_EQ(v.niveaux, niveauxUniformes(0));
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
