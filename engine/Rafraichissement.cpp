#include "engine/Rafraichissement.h"

#include "engine/Ecriture_Sortie.h"
#include "engine/NiveauxLampes.h"
#include "engine/Sorties.h"

namespace korvalen {

void etapeRafraichissement(Variables& v, const std::array<float, NB_BARRES>* niveaux, IIndicateurs& affichage,
                           IPort& port, DerniereEcriture* derniere) {
    if (niveaux != nullptr) v.niveaux = *niveaux;
    // The chaser, once sampled on, owns the outputs: the levels only count again a step after.
    if (!v.chenillardActif) comparerNiveaux(v);
    if (v.boutonsDirects[0] == 1) {
        v.chenillardActif = VRAI;
    } else {
        v.chenillardActif = FAUX;
        v.boutonsDirects[2] = 0;
    }
    v.slowActif = v.boutonsDirects[1] == 1 ? VRAI : FAUX;
    v.inverseActif = v.boutonsDirects[2] == 1 ? VRAI : FAUX;
    Affichage_sortie(v, affichage);
    if (derniere != nullptr && v.enMarche) {
        appliquerSlow(v);
        const std::uint8_t a = octetGroupeA(v), b = octetGroupeB(v);
        const std::optional<ValeursLampes> valeurs =
            port.veutNiveaux() ? std::optional<ValeursLampes>(niveauxLampes(v)) : std::nullopt;
        if (derniere->groupeA == a && derniere->groupeB == b && derniere->niveaux == valeurs) return;
        derniere->groupeA = a;
        derniere->groupeB = b;
        derniere->niveaux = valeurs;
    } else if (derniere != nullptr) {
        *derniere = {};
    }
    EcrireSorties(v, port);
}

}  // namespace korvalen
