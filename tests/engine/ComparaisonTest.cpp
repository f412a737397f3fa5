#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/Sorties.h"

namespace korvalen {
namespace {

using Etat = Booleen Variables::*;

const std::vector<Etat> TOUS_ETATS = {
    &Variables::etatA0, &Variables::etatA1, &Variables::etatA3, &Variables::etatB0,
    &Variables::etatB1, &Variables::etatB2, &Variables::etatB3, &Variables::etatB4,
    &Variables::etatB5, &Variables::etatB6, &Variables::etatB7,
};

struct Ligne {
    int barre;
    char groupe;
    int sortie;
    Etat etat;
};

// The fixed bar-to-output table, written out independently of the engine's copy.
const Ligne LIGNES[] = {
    {7, 'A', 0, &Variables::etatA0}, {8, 'A', 1, &Variables::etatA1}, {9, 'A', 2, &Variables::etatA3},
    {0, 'B', 0, &Variables::etatB0}, {1, 'B', 1, &Variables::etatB1}, {2, 'B', 3, &Variables::etatB3},
    {3, 'B', 4, &Variables::etatB4}, {4, 'B', 5, &Variables::etatB5}, {5, 'B', 6, &Variables::etatB6},
    {6, 'B', 7, &Variables::etatB7},
};

Sortie& record(Variables& v, const Ligne& l) {
    return l.groupe == 'A' ? v.SortieA[l.sortie] : v.SortieB[l.sortie];
}

struct Cas {
    Entier sens;
    Entier seuil;
    float niveau;
    bool allume;
};

const Cas CAS[] = {
    {2, 50, 50.0f, false}, {2, 50, 49.0f, false}, {2, 50, 51.0f, true},
    {1, 50, 50.0f, false}, {1, 50, 49.0f, true},  {1, 50, 51.0f, false},
    {0, 50, 0.0f, false},  {0, 50, 100.0f, false},
    {3, 50, 100.0f, false}, {3, 50, 0.0f, false}, {-1, 50, 0.0f, false},
    {2, -5, 0.0f, true},   {1, -5, 0.0f, false},
    {1, 150, 100.0f, true}, {2, 150, 100.0f, false},
    {2, 0, 0.5f, true},    {1, 1, 0.5f, true},
};

TEST(Comparaison, EachRowFollowsItsBarThresholdAndSense) {
    for (const Ligne& l : LIGNES) {
        for (const Cas& c : CAS) {
            Variables v;
            // Every other state starts on, so a row that writes the wrong state shows up.
            for (Etat e : TOUS_ETATS) v.*e = VRAI;
            record(v, l).sens[l.barre] = c.sens;
            record(v, l).seuil[l.barre] = c.seuil;
            v.niveaux[l.barre] = c.niveau;
            comparerNiveaux(v);
            SCOPED_TRACE(testing::Message() << "bar " << l.barre << " sens " << c.sens << " seuil " << c.seuil
                                            << " niveau " << c.niveau);
            EXPECT_EQ(v.*l.etat, c.allume ? VRAI : FAUX);
            // The nine other driven states are rewritten off (their mode is empty); B2 is never written.
            for (Etat e : TOUS_ETATS) {
                if (e == l.etat) continue;
                EXPECT_EQ(v.*e, e == &Variables::etatB2 ? VRAI : FAUX);
            }
        }
    }
}

TEST(Comparaison, OnlyTheTableRecordsSteerTheLamps) {
    Variables v;
    v.niveaux.fill(60.0f);
    // Bar 9 of A3's own record and bar 2 of B2's record do nothing.
    v.SortieA[3].sens[9] = 2;
    v.SortieB[2].sens[2] = 2;
    // A mode that steers every bar of every other record does nothing either.
    for (int k = 0; k < NB_BARRES; ++k) {
        v.SortieA[5].sens[k] = 2;
        v.SortieB[0].sens[(k + 1) % NB_BARRES] = 2;  // every bar except bar 0 on B0
    }
    v.SortieB[0].sens[0] = 0;
    comparerNiveaux(v);
    for (Etat e : TOUS_ETATS) EXPECT_EQ(v.*e, FAUX);

    v.SortieA[2].sens[9] = 2;  // bar 9 of A2 steers lamp A3
    comparerNiveaux(v);
    EXPECT_EQ(v.etatA3, VRAI);
}

TEST(Slow, MasksSixOutputsByChangingTheirStates) {
    Variables v;
    for (Etat e : TOUS_ETATS) v.*e = VRAI;
    appliquerSlow(v);  // Slow off: nothing changes
    for (Etat e : TOUS_ETATS) EXPECT_EQ(v.*e, VRAI);

    v.slowActif = VRAI;
    appliquerSlow(v);
    const std::vector<Etat> masques = {&Variables::etatB0, &Variables::etatB3, &Variables::etatB5,
                                       &Variables::etatB6, &Variables::etatA0, &Variables::etatA3};
    for (Etat e : TOUS_ETATS) {
        const bool masque = std::find(masques.begin(), masques.end(), e) != masques.end();
        EXPECT_EQ(v.*e, masque ? FAUX : VRAI);
    }
    v.slowActif = FAUX;  // the states stay off until something sets them again
    appliquerSlow(v);
    EXPECT_EQ(v.etatB0, FAUX);
}

}  // namespace
}  // namespace korvalen
