#include "remote/ClientsRecents.h"

#include <algorithm>

namespace korvalen {

bool ClientsRecents::entendu(const ClientOsc& client, Horloge::time_point instant) {
    std::lock_guard verrou(mutex_);
    const auto connu = std::find_if(entrees_.begin(), entrees_.end(), [&](const Entree& e) { return e.client == client; });
    if (connu != entrees_.end()) {
        const bool oublie = instant - connu->dernier > fenetre_;
        connu->dernier = std::max(connu->dernier, instant);
        return oublie;
    }
    // Only those silent for the whole window make room: a newcomer never pushes out a live surface.
    if (entrees_.size() >= maximum_) std::erase_if(entrees_, [&](const Entree& e) { return instant - e.dernier > fenetre_; });
    if (entrees_.size() >= maximum_) return false;
    entrees_.push_back({client, instant});
    return true;
}

std::vector<ClientOsc> ClientsRecents::actifs(Horloge::time_point instant) {
    std::lock_guard verrou(mutex_);
    std::erase_if(entrees_, [&](const Entree& e) { return instant - e.dernier > fenetre_; });
    std::vector<ClientOsc> liste;
    for (const Entree& e : entrees_) liste.push_back(e.client);
    return liste;
}

}  // namespace korvalen
