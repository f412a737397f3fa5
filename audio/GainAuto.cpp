#include "audio/GainAuto.h"

#include <algorithm>

namespace korvalen {

float GainAuto::suivre(float plusFortDb, double secondes) {
    const float chute = static_cast<float>(std::max(0.0, secondes)) * CHUTE_DB_PAR_SECONDE;
    pic_ = std::max({plusFortDb, pic_ - chute, -GAIN_MAX_DB});
    return -pic_;
}

float GainAuto::part(float decibels) { return std::clamp((decibels - SILENCE_DB) / RAMPE_DB, 0.0f, 1.0f); }

}  // namespace korvalen
