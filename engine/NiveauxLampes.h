#pragma once
// Lamp intensities for outputs that can dim (DMX through OLA): how bright a lit output shows, and
// how a lamp going dark fades out. Plain functions and a small class, free of Qt and of OLA.

#include <array>
#include <chrono>
#include <cstdint>

#include "engine/IPort.h"
#include "engine/Variables.h"

namespace korvalen {

inline constexpr int NB_CANAUX_LAMPES = 2 * NB_SORTIES_GROUPE;
static_assert(std::tuple_size_v<ValeursLampes> == NB_CANAUX_LAMPES);

/// Who lit an output: its bar past the threshold, or something that holds it fully on.
enum class Allumage { Eteinte, ParSaBarre, Pleine };

/// The value of one output. Lit by its bar, it grows with how far `niveau` (0..100) is past the
/// threshold towards the far end (100 for "above", sens 2; 0 for "below", sens 1): from a dim but
/// visible glow just past it to 255 at the far end, evenly to the eye. Held fully on: 255. Dark: 0.
std::uint8_t niveauLampe(float niveau, Entier seuil, Entier sens, Allumage allumage);

/// The sixteen values for the states as EcrireSorties latches them: each lit output's value from
/// its bar while the bars drive the lamps, 255 while the chaser drives them; dark outputs 0.
ValeursLampes niveauxLampes(const Variables& v);

/// Lightness as the eye sees it (CIE L*, 0..100) of a DMX value, and back.
double clarte(std::uint8_t valeur);
std::uint8_t valeurDeClarte(double clarte);

/// The fade-out of lamps going dark: a lamp that rises takes its new value at once; one that falls
/// slides down over `duree` (for a fall to 0; a shorter fall takes its share), evenly to the eye.
class DescenteLampes {
public:
    using Horloge = std::chrono::steady_clock;

    explicit DescenteLampes(std::chrono::milliseconds duree) : duree_(duree) {}

    /// New values to show from `maintenant`.
    void viser(const ValeursLampes& cibles, Horloge::time_point maintenant);
    /// What the lamps show at `maintenant` (not before the last viser()).
    ValeursLampes valeurs(Horloge::time_point maintenant);
    /// True while at least one lamp is still sliding down at `maintenant`.
    bool enCours(Horloge::time_point maintenant) const;

private:
    struct Canal {
        std::uint8_t cible = 0;
        std::uint8_t depart = 0;  // value when the slide began
        Horloge::time_point debut{};
        bool glisse = false;
    };
    double glissement(const Canal& c, Horloge::time_point maintenant) const;

    std::chrono::milliseconds duree_;
    std::array<Canal, NB_CANAUX_LAMPES> canaux_{};
};

}  // namespace korvalen
