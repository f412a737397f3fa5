#pragma once
// Window layouts are given in twips; Qt's high-DPI scaling applies on top of these pixels.

#include <QRect>

namespace korvalen {

inline constexpr int TWIPS_PAR_PIXEL = 15;

/// Twips to pixels.
constexpr int twips(int t) { return t / TWIPS_PAR_PIXEL; }

/// A control's rectangle (left, top, width, height) from twips.
inline QRect rectTwips(int gauche, int haut, int largeur, int hauteur) {
    return {twips(gauche), twips(haut), twips(largeur), twips(hauteur)};
}

}  // namespace korvalen
