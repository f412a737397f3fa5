#pragma once
// The refresh step: what the lamps show after new levels, a chaser step or a beat.

#include <array>
#include <cstdint>
#include <optional>

#include "engine/IIndicateurs.h"
#include "engine/IPort.h"
#include "engine/Variables.h"

namespace korvalen {

/// The bytes a step last sent to the port, so that a step may leave out a write that changes nothing.
struct DerniereEcriture {
    std::optional<std::uint8_t> groupeA, groupeB;
    std::optional<ValeursLampes> niveaux;  // only for a port whose lamps show levels
};

/// One refresh step: takes `niveaux` as the bar levels (none keeps the levels in `v`), compares
/// them with the mode unless the chaser is on, samples the live buttons (Chenillard, Slow, Inversé;
/// Inversé is put up while the chaser is off), shows the outputs on `affichage` and writes them to
/// `port`. With `derniere`, a running step whose bytes (and, for a port that shows them, levels)
/// equal the last ones written skips the port write, and what was written is kept there.
void etapeRafraichissement(Variables& v, const std::array<float, NB_BARRES>* niveaux, IIndicateurs& affichage,
                           IPort& port, DerniereEcriture* derniere = nullptr);

}  // namespace korvalen
