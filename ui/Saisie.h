#pragma once
// What the settings windows read from their text boxes.

#include <QString>
#include <optional>

namespace korvalen {

/// What one value of Config.ini holds.
inline constexpr int LONGUEUR_VALEUR_MAX = 255;

/// A whole number typed by the operator: digits only, blanks at the ends ignored, within
/// minimum..maximum; nothing for anything else.
std::optional<qint64> entierSaisi(const QString& saisie, qint64 minimum, qint64 maximum);

}  // namespace korvalen
