// The latches rebuilt from the port writes, fed by the real port writer, and the frame they give.

#include <gtest/gtest.h>

#include <functional>

#include "doubles/RecordingPort.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/Verrous.h"

namespace korvalen {
namespace {

using test::RecordingPort;
using Groupes = std::pair<std::uint8_t, std::uint8_t>;  // group A, group B
using Ecritures = std::vector<std::pair<std::uint32_t, std::uint8_t>>;

// The latched groups after each write that changed them.
std::vector<Groupes> changements(VerrousLampes& verrous, const Ecritures& ecritures) {
    std::vector<Groupes> vus;
    for (const auto& [adresse, valeur] : ecritures) {
        if (verrous.ecrire(adresse, valeur)) vus.emplace_back(verrous.groupeA(), verrous.groupeB());
    }
    return vus;
}

Ecritures sequence(const std::function<void(Variables&)>& regler) {
    Variables v;
    regler(v);
    RecordingPort port;
    EcrireSorties(v, port);
    return port.writes;
}

TEST(VerrousLampes, FollowThePortWriterAsTheLatchesWould) {
    const auto tousAllumes = [](Variables& v) {
        v.etatA0 = v.etatA1 = v.etatA3 = VRAI;
        v.etatB0 = v.etatB1 = v.etatB2 = v.etatB3 = v.etatB4 = v.etatB5 = v.etatB6 = v.etatB7 = VRAI;
    };
    struct Cas {
        const char* nom;
        std::function<void(Variables&)> regler;
        std::size_t coupeA;  // writes kept; 0 keeps them all
        std::vector<Groupes> attendus;
    };
    const std::vector<Cas> cas = {
        {"running, A0 A1 A3 and B1 B4",
         [](Variables& v) {
             v.enMarche = VRAI;
             v.etatA0 = v.etatA1 = v.etatA3 = v.etatB1 = v.etatB4 = VRAI;
         },
         0,
         {{11, 0}, {11, 18}}},
        {"running, all off: nothing changes", [](Variables& v) { v.enMarche = VRAI; }, 0, {}},
        {"running, Slow masks A0 A3 B0 B3 B5 B6",
         [&](Variables& v) {
             tousAllumes(v);
             v.enMarche = VRAI;
             v.slowActif = VRAI;
         },
         0,
         {{2, 0}, {2, 255 - 1 - 8 - 32 - 64}}},
        {"stopped: the states, then 0", [](Variables& v) { v.etatA1 = v.etatB7 = VRAI; }, 0,
         {{2, 0}, {2, 128}, {0, 128}, {0, 0}}},
        {"cut after group A's pulse", [&](Variables& v) { tousAllumes(v); v.enMarche = VRAI; }, 2, {{11, 0}}},
        {"cut after group B's byte, before its pulse", [&](Variables& v) { tousAllumes(v); v.enMarche = VRAI; }, 4,
         {{11, 0}}},
        {"cut after group A's byte, before its pulse", [&](Variables& v) { tousAllumes(v); v.enMarche = VRAI; }, 1, {}},
    };
    for (const Cas& c : cas) {
        Ecritures ecritures = sequence(c.regler);
        if (c.coupeA != 0) ecritures.resize(c.coupeA);
        VerrousLampes verrous;
        EXPECT_EQ(changements(verrous, ecritures), c.attendus) << c.nom;
    }
}

TEST(VerrousLampes, LatchOnlyWhenTheirControlBitRises) {
    constexpr std::uint32_t D = PORT_DONNEES, C = PORT_CONTROLE;
    VerrousLampes verrous;
    // Bit 1 held high: a new data byte is not taken until the bit falls and rises again.
    EXPECT_EQ(changements(verrous, {{D, 5}, {C, 2}, {D, 9}, {C, 2}}), (std::vector<Groupes>{{5, 0}}));
    EXPECT_EQ(changements(verrous, {{C, 0}, {C, 2}}), (std::vector<Groupes>{{9, 0}}));
    // Both bits rising at once latch both groups; another register is ignored.
    EXPECT_EQ(changements(verrous, {{C, 0}, {D, 3}, {0x379, 0}, {C, 3}}), (std::vector<Groupes>{{3, 3}}));
}

TEST(TrameDmx, SixteenChannelsFromTheFirstChannelAndZeroElsewhere) {
    for (const int canal : {1, 100, CANAL_MAX}) {
        const TrameDmx trame = trameDmx(0b0000'1011, 0b1001'0010, canal);
        TrameDmx attendue{};
        const auto k = static_cast<std::size_t>(canal - 1);
        attendue[k + 0] = attendue[k + 1] = attendue[k + 3] = 255;    // A0 A1 A3
        attendue[k + 8 + 1] = attendue[k + 8 + 4] = attendue[k + 8 + 7] = 255;  // B1 B4 B7
        EXPECT_EQ(trame, attendue) << "first channel " << canal;
    }
}

}  // namespace
}  // namespace korvalen
