#include "app/PortCommutable.h"

namespace korvalen {

void PortCommutable::ouvrir(const ReglagesPort& reglages) {
    // The old output goes first, so that two never hold the same device or universe at once.
    actuel_.reset();
    reglages_ = reglages;
    actuel_ = ouvrir_(reglages);
    // The steps write only changes: without this, a steady state would never reach the new lamps.
    if (!actuel_ || derniere_.empty()) return;
    for (const Ecriture& e : derniere_) actuel_->write(e.adresse, e.valeur);
    if (derniersNiveaux_) actuel_->niveaux(*derniersNiveaux_);
    actuel_->finSequence();
}

void PortCommutable::write(std::uint32_t address, std::uint8_t value) {
    if (enCours_.size() < ECRITURES_MAX) enCours_.push_back({address, value});
    if (actuel_) actuel_->write(address, value);
}

void PortCommutable::niveaux(const ValeursLampes& valeurs) {
    niveauxEnCours_ = valeurs;
    if (actuel_) actuel_->niveaux(valeurs);
}

void PortCommutable::finSequence() {
    if (enCours_.size() < ECRITURES_MAX) {
        derniere_.swap(enCours_);
        derniersNiveaux_ = niveauxEnCours_;
    }
    enCours_.clear();
    niveauxEnCours_.reset();
    if (actuel_) actuel_->finSequence();
}

void PortCommutable::reconnecter() {
    if (actuel_) actuel_->reconnecter();
}

}  // namespace korvalen
