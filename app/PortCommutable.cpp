#include "app/PortCommutable.h"

namespace korvalen {

void PortCommutable::ouvrir(const ReglagesPort& reglages) {
    // The old output goes first, so that two never hold the same device or universe at once.
    actuel_.reset();
    reglages_ = reglages;
    actuel_ = ouvrir_(reglages);
}

void PortCommutable::write(std::uint32_t address, std::uint8_t value) {
    if (actuel_) actuel_->write(address, value);
}

void PortCommutable::niveaux(const ValeursLampes& valeurs) {
    if (actuel_) actuel_->niveaux(valeurs);
}

void PortCommutable::finSequence() {
    if (actuel_) actuel_->finSequence();
}

void PortCommutable::reconnecter() {
    if (actuel_) actuel_->reconnecter();
}

}  // namespace korvalen
