#include "audio/Niveaux.h"

#include <cstdlib>

namespace korvalen {

std::array<float, NB_BARRES> mesurerNiveaux(const TamponCapture& tampon) {
    std::array<float, NB_BARRES> niveaux{};
    for (int k = 0; k < NB_BARRES; ++k) {
        int niveau = std::abs(static_cast<int>(tampon[POSITION_BARRE[k]]) - 128);
        if (niveau > 100) niveau = 100;
        niveaux[k] = static_cast<float>(niveau);
    }
    return niveaux;
}

}  // namespace korvalen
