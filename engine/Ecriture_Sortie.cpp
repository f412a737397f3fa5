#include "engine/Ecriture_Sortie.h"

#include "engine/NiveauxLampes.h"
#include "engine/Sorties.h"

namespace korvalen {

namespace {
constexpr std::uint8_t IMPULSION_A = 2;  // control bit 1 latches group A
constexpr std::uint8_t IMPULSION_B = 1;  // control bit 0 latches group B
}  // namespace

std::uint8_t octetGroupeA(const Variables& v) {
    return static_cast<std::uint8_t>((v.etatA0 ? 1 : 0) | (v.etatA1 ? 2 : 0) | (v.etatA3 ? 8 : 0));
}

std::uint8_t octetGroupeB(const Variables& v) {
    const Booleen etats[8] = {v.etatB0, v.etatB1, v.etatB2, v.etatB3,
                              v.etatB4, v.etatB5, v.etatB6, v.etatB7};
    std::uint8_t octet = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (etats[bit]) octet = static_cast<std::uint8_t>(octet | (1u << bit));
    }
    return octet;
}

void EcrireSorties(Variables& v, IPort& port) {
    appliquerSlow(v);

    port.write(PORT_DONNEES, octetGroupeA(v));
    port.write(PORT_CONTROLE, IMPULSION_A);
    port.write(PORT_CONTROLE, 0);

    port.write(PORT_DONNEES, octetGroupeB(v));
    port.write(PORT_CONTROLE, IMPULSION_B);
    port.write(PORT_CONTROLE, 0);
    port.write(PORT_CONTROLE, 0);
    port.write(PORT_DONNEES, 0);

    if (!v.enMarche) {
        port.write(PORT_DONNEES, 0);
        port.write(PORT_CONTROLE, IMPULSION_A);
        port.write(PORT_CONTROLE, 0);
        port.write(PORT_DONNEES, 0);
        port.write(PORT_CONTROLE, IMPULSION_B);
        port.write(PORT_CONTROLE, 0);
    }
    port.niveaux(niveauxLampes(v));
    port.finSequence();
}

}  // namespace korvalen
