#pragma once

#include <array>

#include "audio/IAudio.h"
#include "engine/Variables.h"

namespace korvalen {

/// Buffer position read for each bar; bar 8 reads byte 100, byte 90 is never looked at.
inline constexpr std::array<int, NB_BARRES> POSITION_BARRE = {10, 20, 30, 40, 50, 60, 70, 80, 100, 110};

/// Ten levels 0..100 from one capture: |b - 128| at each bar's byte, capped at 100.
std::array<float, NB_BARRES> mesurerNiveaux(const TamponCapture& tampon);

}  // namespace korvalen
