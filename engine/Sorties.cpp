#include "engine/Sorties.h"

namespace korvalen {

namespace {

// One row of the fixed bar-to-output table. Row 3 reads the settings of
// SortieA(2) and drives A3; B2 has no row. Kept as-is: stored modes rely on it.
struct Ligne {
    int barre;
    bool groupeA;
    int sortie;
    Booleen Variables::*etat;
    int indicateur;
};

constexpr Ligne TABLE[NB_BARRES] = {
    {7, true, 0, &Variables::etatA0, 0},   {8, true, 1, &Variables::etatA1, 1},
    {9, true, 2, &Variables::etatA3, 3},   {0, false, 0, &Variables::etatB0, 8},
    {1, false, 1, &Variables::etatB1, 9},  {2, false, 3, &Variables::etatB3, 11},
    {3, false, 4, &Variables::etatB4, 12}, {4, false, 5, &Variables::etatB5, 13},
    {5, false, 6, &Variables::etatB6, 14}, {6, false, 7, &Variables::etatB7, 15},
};

// Indicator order of the display step: B0..B7 (B2 included), then A0, A1, A3.
struct Affiche {
    int indicateur;
    Booleen Variables::*etat;
};
constexpr Affiche ORDRE_AFFICHAGE[] = {
    {8, &Variables::etatB0},  {9, &Variables::etatB1},  {10, &Variables::etatB2},
    {11, &Variables::etatB3}, {12, &Variables::etatB4}, {13, &Variables::etatB5},
    {14, &Variables::etatB6}, {15, &Variables::etatB7}, {0, &Variables::etatA0},
    {1, &Variables::etatA1},  {3, &Variables::etatA3},
};

constexpr Booleen Variables::*MASQUE_SLOW[] = {
    &Variables::etatB0, &Variables::etatB3, &Variables::etatB5,
    &Variables::etatB6, &Variables::etatA0, &Variables::etatA3,
};

}  // namespace

std::optional<BarreDeSortie> barreDeSortie(int numero) {
    for (const Ligne& l : TABLE) {
        if (l.indicateur == numero) return BarreDeSortie{l.barre, l.groupeA, l.sortie};
    }
    return std::nullopt;
}

void comparerNiveaux(Variables& v) {
    for (const Ligne& l : TABLE) {
        const Sortie& s = l.groupeA ? v.SortieA[l.sortie] : v.SortieB[l.sortie];
        const float niveau = v.niveaux[l.barre];
        const float seuil = static_cast<float>(s.seuil[l.barre]);
        const Entier sens = s.sens[l.barre];
        const bool allume = (sens == 2 && niveau > seuil) || (sens == 1 && niveau < seuil);
        v.*l.etat = allume ? VRAI : FAUX;
    }
}

void appliquerSlow(Variables& v) {
    if (!v.slowActif) return;
    for (auto etat : MASQUE_SLOW) v.*etat = FAUX;
}

void Affichage_sortie(Variables& v, IIndicateurs& indicateurs) {
    appliquerSlow(v);
    for (int n = 0; n < NB_SORTIES_GROUPE; ++n) indicateurs.setCaption(n, v.SortieA[n].nom);
    for (int n = 0; n < NB_SORTIES_GROUPE; ++n) indicateurs.setCaption(8 + n, v.SortieB[n].nom);
    for (const Affiche& a : ORDRE_AFFICHAGE) {
        indicateurs.setValue(a.indicateur, v.*a.etat ? 1 : 0);
        v.sortiesAffichees[static_cast<std::size_t>(a.indicateur)] = v.*a.etat != FAUX;
    }
    if (!v.enMarche) {
        for (int n = 0; n < NB_INDICATEURS; ++n) indicateurs.setValue(n, 0);
        v.sortiesAffichees.fill(false);
    }
}

}  // namespace korvalen
