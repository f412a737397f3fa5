#include <gtest/gtest.h>

#include "doubles/RecordingIndicateurs.h"
#include "engine/Sorties.h"

namespace korvalen {
namespace {

using test::RecordingIndicateurs;

Variables nommees() {
    Variables v;
    for (int i = 0; i < 8; ++i) {
        v.SortieA[i].nom = "A" + std::to_string(i);
        v.SortieB[i].nom = "B" + std::to_string(i);
    }
    return v;
}

TEST(Affichage, RunningShowsNamesAndStatesInOrderLeavingUndrivenIndicators) {
    Variables v = nommees();
    v.enMarche = VRAI;
    v.etatA1 = v.etatA3 = v.etatB2 = v.etatB7 = VRAI;
    RecordingIndicateurs ind;
    ind.values[2] = 1;  // ticked by the operator: left alone while running
    Affichage_sortie(v, ind);

    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(ind.captions[n], "A" + std::to_string(n));
        EXPECT_EQ(ind.captions[8 + n], "B" + std::to_string(n));
    }
    EXPECT_EQ(ind.valueOrder, (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 3}));
    const std::array<int, 16> attendu = {0, 1, 1, 1, -1, -1, -1, -1, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(ind.values, attendu);
}

TEST(Affichage, StoppedBlanksAllSixteenButKeepsStates) {
    Variables v = nommees();
    v.etatA0 = v.etatB4 = VRAI;
    RecordingIndicateurs ind;
    Affichage_sortie(v, ind);
    std::vector<int> ordre = {8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 3};
    for (int n = 0; n < 16; ++n) ordre.push_back(n);
    EXPECT_EQ(ind.valueOrder, ordre);
    for (int valeur : ind.values) EXPECT_EQ(valeur, 0);
    EXPECT_EQ(v.etatA0, VRAI);
    EXPECT_EQ(v.etatB4, VRAI);
}

TEST(Affichage, AppliesSlowBeforeShowing) {
    Variables v = nommees();
    v.enMarche = VRAI;
    v.slowActif = VRAI;
    v.etatA0 = v.etatA1 = v.etatB0 = v.etatB1 = VRAI;
    RecordingIndicateurs ind;
    Affichage_sortie(v, ind);
    EXPECT_EQ(ind.values[0], 0);
    EXPECT_EQ(ind.values[1], 1);
    EXPECT_EQ(ind.values[8], 0);
    EXPECT_EQ(ind.values[9], 1);
    EXPECT_EQ(v.etatA0, FAUX);
}

}  // namespace
}  // namespace korvalen
