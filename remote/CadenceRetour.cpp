#include "remote/CadenceRetour.h"

#include <algorithm>

namespace korvalen {

std::vector<std::size_t> CadenceRetour::dues(Horloge::time_point instant, const Etat& etat) {
    std::vector<std::size_t> liste;
    for (std::size_t i = 0; i < destinations_.size(); ++i) {
        Destination& d = destinations_[i];
        if (!d.doit(etat) || (d.dernier && instant - *d.dernier < INTERVALLE)) continue;
        d.dernier = instant;
        d.envoye = etat;
        d.force = false;
        liste.push_back(i);
    }
    return liste;
}

std::optional<CadenceRetour::Horloge::duration> CadenceRetour::attente(Horloge::time_point instant,
                                                                        const Etat& etat) const {
    std::optional<Horloge::duration> plusCourte;
    for (const Destination& d : destinations_) {
        if (!d.doit(etat)) continue;
        const Horloge::duration reste =
            d.dernier ? std::max(Horloge::duration::zero(), *d.dernier + INTERVALLE - instant) : Horloge::duration::zero();
        if (!plusCourte || reste < *plusCourte) plusCourte = reste;
    }
    return plusCourte;
}

}  // namespace korvalen
