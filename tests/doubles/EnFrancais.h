#pragma once
// The core's messages as a French desktop reads them, for comparing with the expected wording.

#include <optional>
#include <string>

#include "engine/Texte.h"

namespace korvalen::test {

inline std::optional<std::string> enFrancais(const std::optional<Texte>& texte) {
    if (!texte) return std::nullopt;
    return texte->francais();
}

}  // namespace korvalen::test
