#include <gtest/gtest.h>

#include "doubles/RecordingIndicateurs.h"
#include "doubles/RecordingPort.h"
#include "engine/Chenillards.h"
#include "engine/Rafraichissement.h"

namespace korvalen {
namespace {

using test::RecordingIndicateurs;
using test::RecordingPort;
using Ecritures = std::vector<std::pair<std::uint32_t, std::uint8_t>>;
constexpr std::uint32_t D = 0x378, C = 0x37A;

Ecritures enMarche(std::uint8_t a, std::uint8_t b) {
    return {{D, a}, {C, 2}, {C, 0}, {D, b}, {C, 1}, {C, 0}, {C, 0}, {D, 0}};
}

// A mode where bar 0 above 50 lights B0 (masked by Slow) and bar 1 above 50 lights B1 (not masked).
Variables modeB0B1() {
    Variables v;
    v.SortieB[0].sens[0] = 2;
    v.SortieB[0].seuil[0] = 50;
    v.SortieB[1].sens[1] = 2;
    v.SortieB[1].seuil[1] = 50;
    v.enMarche = VRAI;
    return v;
}

// Levels, the live buttons and the state the chaser was sampled in, to what the step shows and writes.
TEST(EtapeRafraichissement, LevelsButtonsAndModeToOutputsAndPort) {
    struct Cas {
        const char* nom;
        std::array<float, NB_BARRES> niveaux;
        std::array<Entier, 5> boutons;
        Booleen chenillardAvant;
        std::uint8_t octetB;
        Booleen chenillard, slow, inverse;
    };
    const std::array<float, NB_BARRES> deux{100, 100}, un{100, 0}, aucun{};
    const Cas cas[] = {
        {"both bars up", deux, {0, 0, 0, 0, 0}, FAUX, 0b11, FAUX, FAUX, FAUX},
        {"one bar up", un, {0, 0, 0, 0, 0}, FAUX, 0b01, FAUX, FAUX, FAUX},
        {"nothing up", aucun, {0, 0, 0, 0, 0}, FAUX, 0, FAUX, FAUX, FAUX},
        {"Slow masks B0", deux, {0, 1, 0, 0, 0}, FAUX, 0b10, FAUX, VRAI, FAUX},
        {"greyed Slow is up", deux, {0, 2, 0, 0, 0}, FAUX, 0b11, FAUX, FAUX, FAUX},
        {"Inversé put up while the chaser is off", deux, {0, 0, 1, 0, 0}, FAUX, 0b11, FAUX, FAUX, FAUX},
        {"chaser pressed: compared one last time", deux, {1, 0, 1, 0, 0}, FAUX, 0b11, VRAI, FAUX, VRAI},
        {"chaser on: levels ignored", deux, {1, 0, 0, 0, 0}, VRAI, 0, VRAI, FAUX, FAUX},
        {"chaser released: ignored once more", deux, {0, 0, 0, 0, 0}, VRAI, 0, FAUX, FAUX, FAUX},
        {"buttons 4 and 5 change nothing", deux, {0, 0, 0, 1, 1}, FAUX, 0b11, FAUX, FAUX, FAUX},
    };
    for (const Cas& c : cas) {
        Variables v = modeB0B1();
        v.boutonsDirects = c.boutons;
        v.chenillardActif = c.chenillardAvant;
        RecordingIndicateurs ind;
        RecordingPort port;
        etapeRafraichissement(v, &c.niveaux, ind, port);
        EXPECT_EQ(port.writes, enMarche(0, c.octetB)) << c.nom;
        EXPECT_EQ(ind.values[8], c.octetB & 1) << c.nom;
        EXPECT_EQ(ind.values[9], (c.octetB >> 1) & 1) << c.nom;
        EXPECT_EQ(v.chenillardActif, c.chenillard) << c.nom;
        EXPECT_EQ(v.slowActif, c.slow) << c.nom;
        EXPECT_EQ(v.inverseActif, c.inverse) << c.nom;
        EXPECT_EQ(v.boutonsDirects[2], c.boutons[0] == 1 ? c.boutons[2] : 0) << c.nom;
        EXPECT_EQ(v.niveaux, c.niveaux) << c.nom;
    }
}

// The step with the lamps stopped: indicators dark and the latches cleared, as the port writer does.
TEST(EtapeRafraichissement, StoppedClearsIndicatorsAndLatches) {
    Variables v = modeB0B1();
    v.enMarche = FAUX;
    const std::array<float, NB_BARRES> deux{100, 100};
    RecordingIndicateurs ind;
    RecordingPort port;
    DerniereEcriture derniere;
    etapeRafraichissement(v, &deux, ind, port, &derniere);
    EXPECT_EQ(port.writes.size(), 14u);
    for (int n = 0; n < NB_INDICATEURS; ++n) EXPECT_EQ(ind.values[n], 0) << n;
}

// Steps that change nothing skip the port only when asked to; a change is written at once.
TEST(EtapeRafraichissement, OnlyChangesReachThePortWhenAsked) {
    Variables v = modeB0B1();
    RecordingIndicateurs ind;
    RecordingPort port;
    DerniereEcriture derniere;
    const std::array<float, NB_BARRES> un{100, 0}, deux{100, 100};
    etapeRafraichissement(v, &un, ind, port, &derniere);
    etapeRafraichissement(v, &un, ind, port, &derniere);
    EXPECT_EQ(port.writes, enMarche(0, 1));
    etapeRafraichissement(v, &deux, ind, port, &derniere);
    Ecritures attendu = enMarche(0, 1);
    const Ecritures ensuite = enMarche(0, 3);
    attendu.insert(attendu.end(), ensuite.begin(), ensuite.end());
    EXPECT_EQ(port.writes, attendu);
    // Without a record of the last bytes every step writes, as the refresh timer always did.
    etapeRafraichissement(v, &deux, ind, port);
    EXPECT_EQ(port.writes.size(), 24u);
}

// A lamp that dims with its bar: a new level with the same lit outputs is still sent to a port
// that shows levels, and is not to one that only latches bytes.
TEST(EtapeRafraichissement, NewLevelsReachAPortThatShowsThem) {
    struct PortNiveaux : RecordingPort {
        bool veutNiveaux() const override { return true; }
    };
    const std::array<float, NB_BARRES> bas{60, 0}, haut{90, 0};
    RecordingIndicateurs ind;
    RecordingPort latches;
    PortNiveaux dmx;
    for (IPort* port : {static_cast<IPort*>(&latches), static_cast<IPort*>(&dmx)}) {
        Variables v = modeB0B1();
        DerniereEcriture derniere;
        etapeRafraichissement(v, &bas, ind, *port, &derniere);
        etapeRafraichissement(v, &haut, ind, *port, &derniere);
        etapeRafraichissement(v, &haut, ind, *port, &derniere);
    }
    EXPECT_EQ(latches.niveauxRecus.size(), 1u);
    ASSERT_EQ(dmx.niveauxRecus.size(), 2u);
    EXPECT_LT(dmx.niveauxRecus[0][8], dmx.niveauxRecus[1][8]);  // B0 brighter at 90 than at 60
    EXPECT_GT(dmx.niveauxRecus[0][8], 0);
}

// A beat's step: the chaser moves and the step, with no new levels, writes the moved light.
TEST(EtapeRafraichissement, ChaserStepReachesThePortWithoutLevels) {
    Variables v = modeB0B1();
    v.boutonsDirects[0] = 1;
    v.chenillardActif = VRAI;
    v.niveaux = {100, 100};
    RecordingIndicateurs ind;
    RecordingPort port;
    Chenillards(v);  // B0
    Chenillards(v);  // B1
    etapeRafraichissement(v, nullptr, ind, port);
    EXPECT_EQ(port.writes, enMarche(0, 0b10));
    EXPECT_EQ(v.niveaux[0], 100.0f);
}

}  // namespace
}  // namespace korvalen
