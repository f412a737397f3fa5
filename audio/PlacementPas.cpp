#include "audio/PlacementPas.h"

#include <cmath>

namespace korvalen {

bool PlacementPas::dejaPasse(double position) const {
    // Two beats closer than half a period are one beat: heard a little early or late, or placed
    // again from a line that moved.
    return dernierPas_ && std::abs(position - *dernierPas_) < periode_ / 2;
}

bool PlacementPas::battement(double entendu, std::optional<double> prochain, double periode) {
    if (periode > 0) periode_ = periode;
    dernierEntendu_ = entendu;
    const bool pas = !dejaPasse(entendu);
    if (pas) dernierPas_ = entendu;
    // A step placed for this beat, or for one before it, is done with: the beat has been heard.
    if (prevu_ && *prevu_ < entendu + periode_ / 2) prevu_.reset();
    if (prochain && *prochain >= entendu + periode_ / 2 && !dejaPasse(*prochain)) prevu_ = *prochain;
    return pas;
}

std::optional<double> PlacementPas::echeance() const {
    if (!prevu_) return std::nullopt;
    return *prevu_ - avance_;
}

bool PlacementPas::echu(double maintenant) {
    if (!prevu_ || maintenant < *prevu_ - avance_) return false;
    const double beat = *prevu_;
    prevu_.reset();
    if (dejaPasse(beat)) return false;
    dernierPas_ = beat;
    return true;
}

void PlacementPas::oublier() {
    prevu_.reset();
    dernierEntendu_.reset();
}

}  // namespace korvalen
