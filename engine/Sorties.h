#pragma once
// Output computation: levels and mode to output states, the Slow mask, and the indicator display.

#include "engine/IIndicateurs.h"
#include "engine/Variables.h"

#include <optional>

namespace korvalen {

/// The bar that drives an output and the record whose `seuil`/`sens` of that bar the comparison reads.
struct BarreDeSortie {
    int barre;
    bool groupeA;
    int sortie;
};
/// For output number 0..15; nothing for the outputs no bar drives (A2, A4..A7, B2).
std::optional<BarreDeSortie> barreDeSortie(int numero);

/// Sets the ten driven output states from the bar levels and the thresholds of the mode.
void comparerNiveaux(Variables& v);

/// Under Slow, switches off B0, B3, B5, B6, A0 and A3 (the states themselves change).
void appliquerSlow(Variables& v);

/// Applies the Slow mask and shows names and states on the sixteen indicators.
void Affichage_sortie(Variables& v, IIndicateurs& indicateurs);

}  // namespace korvalen
