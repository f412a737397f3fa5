#include "engine/Texte.h"

namespace korvalen {

Texte Texte::tel(std::string texte) {
    Texte t;
    t.modele = std::move(texte);
    t.traduisible = false;
    return t;
}

std::string Texte::francais() const {
    if (!traduisible) return modele;
    // One pass, so that an argument's own "%1" stays as it is.
    std::string resultat;
    for (std::size_t i = 0; i < modele.size(); ++i) {
        const char c = modele[i];
        const char suivant = i + 1 < modele.size() ? modele[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(suivant - '1');
        if (c == '%' && suivant >= '1' && suivant <= '9' && n < arguments.size()) {
            resultat += arguments[n].francais();
            ++i;
        } else {
            resultat += c;
        }
    }
    return resultat;
}

}  // namespace korvalen
