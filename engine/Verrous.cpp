#include "engine/Verrous.h"

#include "engine/IPort.h"

namespace korvalen {

namespace {
constexpr std::uint8_t BIT_A = 2;  // control bit 1
constexpr std::uint8_t BIT_B = 1;  // control bit 0
}  // namespace

bool VerrousLampes::ecrire(std::uint32_t adresse, std::uint8_t valeur) {
    if (adresse == PORT_DONNEES) {
        donnees_ = valeur;
        return false;
    }
    if (adresse != PORT_CONTROLE) return false;
    const auto montants = static_cast<std::uint8_t>(valeur & ~controle_);
    controle_ = valeur;
    bool change = false;
    if ((montants & BIT_A) != 0 && a_ != donnees_) {
        a_ = donnees_;
        change = true;
    }
    if ((montants & BIT_B) != 0 && b_ != donnees_) {
        b_ = donnees_;
        change = true;
    }
    return change;
}

ValeursLampes valeursAllumees(std::uint8_t groupeA, std::uint8_t groupeB, const ValeursLampes& valeurs) {
    ValeursLampes allumees{};
    for (std::size_t bit = 0; bit < 8; ++bit) {
        allumees[bit] = (groupeA >> bit) & 1 ? valeurs[bit] : 0;
        allumees[8 + bit] = (groupeB >> bit) & 1 ? valeurs[8 + bit] : 0;
    }
    return allumees;
}

TrameDmx trameDmx(const ValeursLampes& valeurs, int premierCanal) {
    TrameDmx trame{};
    if (premierCanal < 1 || premierCanal > CANAL_MAX) return trame;
    const auto debut = static_cast<std::size_t>(premierCanal - 1);
    for (std::size_t i = 0; i < valeurs.size(); ++i) trame[debut + i] = valeurs[i];
    return trame;
}

TrameDmx trameDmx(std::uint8_t groupeA, std::uint8_t groupeB, int premierCanal) {
    ValeursLampes pleines;
    pleines.fill(255);
    return trameDmx(valeursAllumees(groupeA, groupeB, pleines), premierCanal);
}

}  // namespace korvalen
