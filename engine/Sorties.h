#pragma once
// Output computation: levels and mode to output states, the Slow mask, and the indicator display.

#include "engine/IIndicateurs.h"
#include "engine/Variables.h"

namespace korvalen {

/// Sets the ten driven output states from the bar levels and the thresholds of the mode.
void comparerNiveaux(Variables& v);

/// Under Slow, switches off B0, B3, B5, B6, A0 and A3 (the states themselves change).
void appliquerSlow(Variables& v);

/// Applies the Slow mask and shows names and states on the sixteen indicators.
void Affichage_sortie(Variables& v, IIndicateurs& indicateurs);

}  // namespace korvalen
