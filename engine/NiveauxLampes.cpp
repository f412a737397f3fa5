#include "engine/NiveauxLampes.h"

#include <algorithm>
#include <cmath>

#include "engine/Sorties.h"

namespace korvalen {

namespace {

// The lightness of a lamp just past its threshold: about 4 % of full power, dim but plainly on.
constexpr double CLARTE_MIN = 25.0;
// CIE L* below this lightness follows a straight line instead of the cube root.
constexpr double CLARTE_LINEAIRE = 8.0;
constexpr double PENTE_LINEAIRE = 903.3;

bool allumee(const Variables& v, int numero) {
    switch (numero) {
        case 0: return v.etatA0 != FAUX;
        case 1: return v.etatA1 != FAUX;
        case 3: return v.etatA3 != FAUX;
        case 8: return v.etatB0 != FAUX;
        case 9: return v.etatB1 != FAUX;
        case 10: return v.etatB2 != FAUX;
        case 11: return v.etatB3 != FAUX;
        case 12: return v.etatB4 != FAUX;
        case 13: return v.etatB5 != FAUX;
        case 14: return v.etatB6 != FAUX;
        case 15: return v.etatB7 != FAUX;
        default: return false;  // A2, A4..A7 have no state
    }
}

}  // namespace

double clarte(std::uint8_t valeur) {
    const double y = valeur / 255.0;
    return y > CLARTE_LINEAIRE / PENTE_LINEAIRE ? 116.0 * std::cbrt(y) - 16.0 : PENTE_LINEAIRE * y;
}

std::uint8_t valeurDeClarte(double l) {
    l = std::clamp(l, 0.0, 100.0);
    const double y = l > CLARTE_LINEAIRE ? std::pow((l + 16.0) / 116.0, 3.0) : l / PENTE_LINEAIRE;
    return static_cast<std::uint8_t>(std::lround(std::clamp(y, 0.0, 1.0) * 255.0));
}

std::uint8_t niveauLampe(float niveau, Entier seuil, Entier sens, Allumage allumage) {
    if (allumage == Allumage::Eteinte) return 0;
    if (allumage == Allumage::Pleine || (sens != 1 && sens != 2)) return 255;
    // How far the level is on its way from the threshold to the far end of the bar.
    const double s = seuil;
    const double course = sens == 2 ? 100.0 - s : s;
    const double parcouru = sens == 2 ? niveau - s : s - niveau;
    const double part = course <= 0 ? 1.0 : std::clamp(parcouru / course, 0.0, 1.0);
    return std::max<std::uint8_t>(1, valeurDeClarte(CLARTE_MIN + (100.0 - CLARTE_MIN) * part));
}

ValeursLampes niveauxLampes(const Variables& v) {
    ValeursLampes valeurs{};
    if (!v.enMarche) return valeurs;  // the latches end cleared while stopped
    for (int numero = 0; numero < NB_CANAUX_LAMPES; ++numero) {
        if (!allumee(v, numero)) continue;
        const std::optional<BarreDeSortie> b = barreDeSortie(numero);
        // The comparison has set this state only while the chaser is off; a state its bar does
        // not explain was set by the chaser.
        if (!v.chenillardActif && b) {
            const Sortie& s = b->groupeA ? v.SortieA[b->sortie] : v.SortieB[b->sortie];
            const float niveau = v.niveaux[b->barre];
            const Entier seuil = s.seuil[b->barre];
            const Entier sens = s.sens[b->barre];
            if ((sens == 2 && niveau > seuil) || (sens == 1 && niveau < seuil)) {
                valeurs[numero] = niveauLampe(niveau, seuil, sens, Allumage::ParSaBarre);
                continue;
            }
        }
        valeurs[numero] = 255;
    }
    return valeurs;
}

double DescenteLampes::glissement(const Canal& c, Horloge::time_point maintenant) const {
    const double t = std::chrono::duration<double>(maintenant - c.debut) / std::chrono::duration<double>(duree_);
    if (t >= 1.0) return 0.0;
    return valeurDeClarte(clarte(c.depart) * (1.0 - std::max(t, 0.0)));
}

void DescenteLampes::viser(const ValeursLampes& cibles, Horloge::time_point maintenant) {
    const ValeursLampes actuelles = valeurs(maintenant);
    for (std::size_t i = 0; i < canaux_.size(); ++i) {
        Canal& c = canaux_[i];
        c.cible = cibles[i];
        if (duree_.count() <= 0 || cibles[i] >= actuelles[i]) {
            c.glisse = false;  // a kick rises at once
        } else if (!c.glisse) {
            c.glisse = true;
            c.depart = actuelles[i];
            c.debut = maintenant;
        }
    }
}

ValeursLampes DescenteLampes::valeurs(Horloge::time_point maintenant) {
    ValeursLampes montrees{};
    for (std::size_t i = 0; i < canaux_.size(); ++i) {
        Canal& c = canaux_[i];
        if (!c.glisse) {
            montrees[i] = c.cible;
            continue;
        }
        const double g = glissement(c, maintenant);
        if (g <= c.cible) {
            c.glisse = false;
            montrees[i] = c.cible;
        } else {
            montrees[i] = static_cast<std::uint8_t>(g);
        }
    }
    return montrees;
}

bool DescenteLampes::enCours(Horloge::time_point maintenant) const {
    return std::any_of(canaux_.begin(), canaux_.end(),
                       [&](const Canal& c) { return c.glisse && glissement(c, maintenant) > c.cible; });
}

}  // namespace korvalen
