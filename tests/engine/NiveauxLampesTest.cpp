// How bright a lamp that can dim shows an output, and how it fades out.
#include <gtest/gtest.h>

#include "doubles/RecordingPort.h"
#include "engine/Chenillards.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/NiveauxLampes.h"
#include "engine/Sorties.h"

namespace korvalen {
namespace {

constexpr Entier DESSOUS = 1, DESSUS = 2;

// Expected values worked out from CIE lightness: a lit lamp goes from L* 25 just past the threshold
// to L* 100 at the far end, evenly, so a quarter of the way is L* 43.75 and half-way L* 62.5.
TEST(NiveauLampe, FollowsHowFarTheBarIsPastItsThresholdEvenlyToTheEye) {
    struct Cas {
        Entier seuil;
        float niveau;
        Entier sens;
        int valeur;
    };
    const Cas cas[] = {
        {50, 50.01f, DESSUS, 11},   // just past: dim but visible
        {50, 62.5f, DESSUS, 35},    // a quarter of the way
        {50, 75.f, DESSUS, 79},     // half-way
        {50, 100.f, DESSUS, 255},   // the far end
        {0, 50.f, DESSUS, 79},
        {99, 100.f, DESSUS, 255},
        {40, 39.99f, DESSOUS, 11},
        {40, 20.f, DESSOUS, 79},
        {40, 0.f, DESSOUS, 255},
        {100, 25.f, DESSOUS, 150},  // three quarters of the way down to 0
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(niveauLampe(c.niveau, c.seuil, c.sens, Allumage::ParSaBarre), c.valeur)
            << "threshold " << c.seuil << (c.sens == DESSUS ? " above" : " below") << ", level " << c.niveau;
    }
    // Whatever the bar says, a dark output is 0 and an output held fully on is 255.
    EXPECT_EQ(niveauLampe(75.f, 50, DESSUS, Allumage::Eteinte), 0);
    EXPECT_EQ(niveauLampe(50.01f, 50, DESSUS, Allumage::Pleine), 255);
}

TEST(NiveauLampe, NeverDarkWhileLitAndNeverDimmerForALouderBar) {
    int avant = 0;
    for (int dixiemes = 501; dixiemes <= 1000; ++dixiemes) {
        const int valeur = niveauLampe(dixiemes / 10.f, 50, DESSUS, Allumage::ParSaBarre);
        EXPECT_GE(valeur, std::max(avant, 1)) << "level " << dixiemes / 10.f;
        avant = valeur;
    }
}

// A mode: B1 follows bar 1 above 50, A3 (settings of SortieA(2)) bar 9 below 40, B4 bar 3 above 0.
Variables modeEnMarche() {
    Variables v;
    v.enMarche = VRAI;
    v.SortieB[1].sens[1] = DESSUS;
    v.SortieB[1].seuil[1] = 50;
    v.SortieA[2].sens[9] = DESSOUS;
    v.SortieA[2].seuil[9] = 40;
    v.SortieB[4].sens[3] = DESSUS;
    v.SortieB[4].seuil[3] = 0;
    v.niveaux[1] = 75;
    v.niveaux[9] = 0;
    v.niveaux[3] = 0;  // not past: B4 stays dark
    return v;
}

TEST(NiveauxLampes, BarsSetTheLitOutputsChaserOutputsShowFull) {
    Variables v = modeEnMarche();
    comparerNiveaux(v);
    ValeursLampes attendu{};
    attendu[9] = 79;   // B1: half-way from 50 to 100
    attendu[3] = 255;  // A3: at the far end of "below"
    EXPECT_EQ(niveauxLampes(v), attendu);

    // The chaser lights outputs whatever their bars say: each lit one at 255, the dark ones at 0.
    v.chenillardActif = VRAI;
    v.etapeChenillard = 0;
    for (int pas = 0; pas < 11; ++pas) {
        Chenillards(v);
        const ValeursLampes valeurs = niveauxLampes(v);
        for (int n = 0; n < NB_CANAUX_LAMPES; ++n) {
            const bool allume = n < 8 ? (octetGroupeA(v) >> n) & 1 : (octetGroupeB(v) >> (n - 8)) & 1;
            EXPECT_EQ(valeurs[n], allume ? 255 : 0) << "step " << pas << ", output " << n;
        }
    }

    // Just after the chaser button is released, a state the chaser left is not explained by its bar: full.
    v.chenillardActif = FAUX;
    v.etatB4 = VRAI;
    EXPECT_EQ(niveauxLampes(v)[12], 255);
}

TEST(NiveauxLampes, EachSequenceHandsTheLevelsAfterTheSlowMaskAndNoneLitWhileStopped) {
    Variables v = modeEnMarche();
    comparerNiveaux(v);
    v.etatB0 = VRAI;  // masked by Slow below
    v.slowActif = VRAI;
    test::RecordingPort port;
    EcrireSorties(v, port);
    ASSERT_EQ(port.niveauxRecus.size(), 1u);
    EXPECT_EQ(port.niveauxRecus[0][9], 79);
    EXPECT_EQ(port.niveauxRecus[0][8], 0) << "Slow darkens B0";
    EXPECT_EQ(port.niveauxRecus[0][3], 0) << "Slow darkens A3";

    v.enMarche = FAUX;
    EcrireSorties(v, port);
    EXPECT_EQ(port.niveauxRecus.back(), ValeursLampes{}) << "the latches end cleared while stopped";
}

using namespace std::chrono_literals;
using Horloge = DescenteLampes::Horloge;

ValeursLampes une(int canal, std::uint8_t valeur) {
    ValeursLampes v{};
    v[static_cast<std::size_t>(canal)] = valeur;
    return v;
}

// The frames a 20 ms sender would take during a 300 ms fade from full to dark, even in lightness.
TEST(DescenteLampes, ALampGoingDarkSlidesDownOverTheTimeAndALampLightingRisesAtOnce) {
    DescenteLampes d(300ms);
    const Horloge::time_point t0{};
    d.viser(une(5, 255), t0);
    EXPECT_EQ(d.valeurs(t0)[5], 255) << "rises at once";
    EXPECT_FALSE(d.enCours(t0));

    d.viser(une(5, 0), t0);
    std::vector<int> trames;
    for (auto t = 0ms; t <= 300ms; t += 20ms) trames.push_back(d.valeurs(t0 + t)[5]);
    const std::vector<int> attendu = {255, 214, 177, 145, 116, 92, 72, 54, 40, 29, 20, 13, 8, 4, 2, 0};
    EXPECT_EQ(trames, attendu);
    EXPECT_FALSE(d.enCours(t0 + 300ms));

    // A kick during a fade rises at once; a fall to a dim level stops there, sooner.
    d.viser(une(5, 255), t0);
    d.viser(une(5, 100), t0 + 1ms);
    EXPECT_EQ(d.valeurs(t0 + 1ms + 20ms)[5], 214);
    EXPECT_TRUE(d.enCours(t0 + 1ms + 80ms));
    EXPECT_EQ(d.valeurs(t0 + 1ms + 100ms)[5], 100);
    EXPECT_FALSE(d.enCours(t0 + 1ms + 100ms));
    d.viser(une(5, 0), t0 + 200ms);
    d.viser(une(5, 200), t0 + 240ms);
    EXPECT_EQ(d.valeurs(t0 + 240ms)[5], 200);
    EXPECT_FALSE(d.enCours(t0 + 240ms));
}

TEST(DescenteLampes, ANewDarkerTargetKeepsTheSlideGoingAndNoDurationSnaps) {
    DescenteLampes d(300ms);
    const Horloge::time_point t0{};
    d.viser(une(0, 255), t0);
    d.viser(une(0, 150), t0);
    d.viser(une(0, 0), t0 + 40ms);  // the same slide, not a new one from where it stood
    EXPECT_EQ(d.valeurs(t0 + 60ms)[0], 145);
    EXPECT_EQ(d.valeurs(t0 + 300ms)[0], 0);

    DescenteLampes sec(0ms);
    sec.viser(une(0, 255), t0);
    sec.viser(une(0, 0), t0);
    EXPECT_EQ(sec.valeurs(t0)[0], 0);
    EXPECT_FALSE(sec.enCours(t0));
}

}  // namespace
}  // namespace korvalen
