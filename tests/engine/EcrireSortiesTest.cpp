#include <gtest/gtest.h>

#include "doubles/RecordingPort.h"
#include "engine/Chenillards.h"
#include "engine/Ecriture_Sortie.h"

namespace korvalen {
namespace {

using test::RecordingPort;
using Ecritures = std::vector<std::pair<std::uint32_t, std::uint8_t>>;
constexpr std::uint32_t D = 0x378, C = 0x37A;

Ecritures enMarche(std::uint8_t a, std::uint8_t b) {
    return {{D, a}, {C, 2}, {C, 0}, {D, b}, {C, 1}, {C, 0}, {C, 0}, {D, 0}};
}

TEST(EcrireSorties, RunningWritesBothGroupsInEightWrites) {
    struct Cas {
        const char* nom;
        void (*regler)(Variables&);
        std::uint8_t a, b;
    };
    const Cas cas[] = {
        {"all off", [](Variables&) {}, 0, 0},
        {"A0 A1 A3", [](Variables& v) { v.etatA0 = v.etatA1 = v.etatA3 = VRAI; }, 11, 0},
        {"all of B",
         [](Variables& v) {
             v.etatB0 = v.etatB1 = v.etatB2 = v.etatB3 = VRAI;
             v.etatB4 = v.etatB5 = v.etatB6 = v.etatB7 = VRAI;
         },
         0, 255},
        {"A1 and B7", [](Variables& v) { v.etatA1 = v.etatB7 = VRAI; }, 2, 128},
        {"B1 B4", [](Variables& v) { v.etatB1 = v.etatB4 = VRAI; }, 0, 18},
    };
    for (const Cas& c : cas) {
        Variables v;
        v.enMarche = VRAI;
        c.regler(v);
        RecordingPort port;
        EcrireSorties(v, port);
        EXPECT_EQ(port.writes, enMarche(c.a, c.b)) << c.nom;
    }
}

// Each output alone lands on its own bit: a swap of two outputs (B5 and B6, B0 and B3) shows here.
TEST(EcrireSorties, EachOutputAloneLightsItsOwnBit) {
    using Etat = Booleen Variables::*;
    const Etat groupeB[8] = {&Variables::etatB0, &Variables::etatB1, &Variables::etatB2, &Variables::etatB3,
                             &Variables::etatB4, &Variables::etatB5, &Variables::etatB6, &Variables::etatB7};
    const std::pair<Etat, std::uint8_t> groupeA[] = {
        {&Variables::etatA0, 1}, {&Variables::etatA1, 2}, {&Variables::etatA3, 8}};
    for (int bit = 0; bit < 8; ++bit) {
        Variables v;
        v.enMarche = VRAI;
        v.*groupeB[bit] = VRAI;
        RecordingPort port;
        EcrireSorties(v, port);
        EXPECT_EQ(port.writes, enMarche(0, static_cast<std::uint8_t>(1u << bit))) << "B" << bit;
    }
    for (auto [etat, poids] : groupeA) {
        Variables v;
        v.enMarche = VRAI;
        v.*etat = VRAI;
        RecordingPort port;
        EcrireSorties(v, port);
        EXPECT_EQ(port.writes, enMarche(poids, 0)) << "weight " << int(poids);
    }
}

TEST(EcrireSorties, SlowClearsMaskedBitsWhateverTheStates) {
    Variables v;
    v.enMarche = VRAI;
    v.slowActif = VRAI;
    v.etatA0 = v.etatA1 = v.etatA3 = VRAI;
    v.etatB0 = v.etatB1 = v.etatB2 = v.etatB3 = v.etatB4 = v.etatB5 = v.etatB6 = v.etatB7 = VRAI;
    RecordingPort port;
    EcrireSorties(v, port);
    // A: only A1 (2); B: 255 less bits 0, 3, 5 and 6.
    EXPECT_EQ(port.writes, enMarche(2, 255 - 1 - 8 - 32 - 64));
}

TEST(EcrireSorties, SlowUnderTheChaseLightsNothingOnMaskedSteps) {
    Variables v;
    v.enMarche = VRAI;
    v.slowActif = VRAI;
    Chenillards(v);  // step 1 lights B0, which Slow masks
    RecordingPort port;
    EcrireSorties(v, port);
    EXPECT_EQ(port.writes, enMarche(0, 0));
    Chenillards(v);  // step 2 lights B1, which Slow lets through
    port.writes.clear();
    EcrireSorties(v, port);
    EXPECT_EQ(port.writes, enMarche(0, 2));
}

TEST(EcrireSorties, StoppedWritesStatesThenClearsBothGroups) {
    Variables v;
    v.etatA0 = v.etatB1 = VRAI;
    RecordingPort port;
    EcrireSorties(v, port);
    Ecritures attendu = enMarche(1, 2);
    const Ecritures effacement = {{D, 0}, {C, 2}, {C, 0}, {D, 0}, {C, 1}, {C, 0}};
    attendu.insert(attendu.end(), effacement.begin(), effacement.end());
    EXPECT_EQ(port.writes, attendu);
    EXPECT_EQ(port.writes.size(), 14u);
    EXPECT_EQ(v.etatA0, VRAI);  // the states keep their values
}

}  // namespace
}  // namespace korvalen
