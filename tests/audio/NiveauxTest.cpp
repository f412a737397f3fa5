#include "audio/Niveaux.h"

#include <gtest/gtest.h>

#include <string>

namespace korvalen {
namespace {

TamponCapture silence() {
    TamponCapture t;
    t.fill(128);
    return t;
}

struct CasOctet {
    std::uint8_t octet;
    float niveau;
};

class NiveauParOctet : public ::testing::TestWithParam<CasOctet> {};

// Each bar reads its own byte only; the other nine stay at 0.
TEST_P(NiveauParOctet, ChaqueBarreLitSonOctet) {
    const CasOctet cas = GetParam();
    for (int k = 0; k < NB_BARRES; ++k) {
        TamponCapture t = silence();
        t[POSITION_BARRE[k]] = cas.octet;
        const auto niveaux = mesurerNiveaux(t);
        for (int j = 0; j < NB_BARRES; ++j) {
            EXPECT_EQ(niveaux[j], j == k ? cas.niveau : 0.0f) << "byte " << int(cas.octet) << " at bar " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Octets, NiveauParOctet,
                         ::testing::Values(CasOctet{128, 0}, CasOctet{0, 100}, CasOctet{255, 100},
                                           CasOctet{28, 100}, CasOctet{228, 100}, CasOctet{29, 99},
                                           CasOctet{227, 99}, CasOctet{127, 1}, CasOctet{129, 1}),
                         [](const auto& info) { return "octet" + std::to_string(info.param.octet); });

TEST(Niveaux, SilenceDonneZero) {
    for (float n : mesurerNiveaux(silence())) EXPECT_EQ(n, 0.0f);
}

TEST(Niveaux, LesBarresLisentLesOctets10A80Puis100Et110) {
    TamponCapture t = silence();
    for (int k = 0; k < NB_BARRES; ++k) t[POSITION_BARRE[k]] = static_cast<std::uint8_t>(128 + 10 * (k + 1) - 5);
    const auto niveaux = mesurerNiveaux(t);
    const std::array<int, NB_BARRES> positions = {10, 20, 30, 40, 50, 60, 70, 80, 100, 110};
    for (int k = 0; k < NB_BARRES; ++k) {
        EXPECT_EQ(niveaux[k], static_cast<float>(t[positions[k]] - 128)) << "bar " << k;
    }
}

TEST(Niveaux, LesAutresOctetsNeComptentPas) {
    TamponCapture t;
    t.fill(0);  // loudest possible everywhere, byte 90 included
    for (int p : POSITION_BARRE) t[p] = 128;
    ASSERT_EQ(t[90], 0);
    for (float n : mesurerNiveaux(t)) EXPECT_EQ(n, 0.0f);
}

}  // namespace
}  // namespace korvalen
