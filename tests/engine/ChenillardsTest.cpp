#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Chenillards.h"

namespace korvalen {
namespace {

// The one chased output that is on, by name; "" when none or several are on.
std::string allumee(const Variables& v) {
    const std::pair<const char*, Booleen> etats[] = {
        {"B0", v.etatB0}, {"B1", v.etatB1}, {"B3", v.etatB3}, {"B4", v.etatB4}, {"B5", v.etatB5},
        {"B6", v.etatB6}, {"B7", v.etatB7}, {"A0", v.etatA0}, {"A1", v.etatA1}, {"A3", v.etatA3},
    };
    std::string trouve;
    for (auto [nom, etat] : etats) {
        if (etat == VRAI) {
            if (!trouve.empty()) return "";
            trouve = nom;
        } else if (etat != FAUX) {
            return "";
        }
    }
    return trouve;
}

std::vector<std::string> pas(Variables& v, int n) {
    std::vector<std::string> vus;
    for (int i = 0; i < n; ++i) {
        Chenillards(v);
        vus.push_back(allumee(v));
    }
    return vus;
}

using Suite = std::vector<std::string>;

TEST(Chenillards, NormalAndInvertedCycles) {
    Variables normal;
    normal.etatA1 = normal.etatB6 = VRAI;  // whatever was on before, one output only after a step
    EXPECT_EQ(pas(normal, 11), (Suite{"B0", "B1", "B3", "B4", "B5", "B6", "B7", "A0", "A1", "A3", "B0"}));
    EXPECT_EQ(normal.etapeChenillard, 1);

    Variables inverse;
    inverse.inverseActif = VRAI;
    EXPECT_EQ(pas(inverse, 11), (Suite{"B0", "B1", "B3", "B4", "B5", "A3", "A1", "A0", "B7", "B6", "B0"}));
}

TEST(Chenillards, CounterWrapsAfterTheTenthStep) {
    Variables v;
    pas(v, 9);
    EXPECT_EQ(v.etapeChenillard, 9);
    Chenillards(v);
    EXPECT_EQ(v.etapeChenillard, 0);
}

TEST(Chenillards, InversionMidCycleChangesColumnFromTheNextStep) {
    Variables v;
    EXPECT_EQ(pas(v, 7).back(), "B7");
    v.inverseActif = VRAI;
    EXPECT_EQ(pas(v, 3), (Suite{"A0", "B7", "B6"}));
}

TEST(Chenillards, ResumesWhereItStoppedAndNeverTouchesB2) {
    Variables v;
    v.etatB2 = VRAI;
    pas(v, 3);
    // A pause (chaser off, some comparisons in between) does not reset the step.
    v.etatA0 = VRAI;
    EXPECT_EQ(pas(v, 1), Suite{"B4"});
    EXPECT_EQ(v.etatB2, VRAI);
}

}  // namespace
}  // namespace korvalen
