#pragma once
// The core's texts, said in the language of the installed translation.

#include <QString>

#include "engine/Texte.h"

namespace korvalen {

/// `texte` with its wording and its arguments translated, names and numbers as they stand.
QString traduire(const Texte& texte);

}  // namespace korvalen
