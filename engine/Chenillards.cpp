#include "engine/Chenillards.h"

namespace korvalen {

namespace {

using Etat = Booleen Variables::*;

constexpr Etat CHASSES[] = {
    &Variables::etatB0, &Variables::etatB1, &Variables::etatB3, &Variables::etatB4,
    &Variables::etatB5, &Variables::etatB6, &Variables::etatB7, &Variables::etatA0,
    &Variables::etatA1, &Variables::etatA3,
};

// Output lit at steps 1..10; the inverted column runs steps 6..10 backwards.
constexpr Etat NORMAL[10] = {
    &Variables::etatB0, &Variables::etatB1, &Variables::etatB3, &Variables::etatB4,
    &Variables::etatB5, &Variables::etatB6, &Variables::etatB7, &Variables::etatA0,
    &Variables::etatA1, &Variables::etatA3,
};
constexpr Etat INVERSE[10] = {
    &Variables::etatB0, &Variables::etatB1, &Variables::etatB3, &Variables::etatB4,
    &Variables::etatB5, &Variables::etatA3, &Variables::etatA1, &Variables::etatA0,
    &Variables::etatB7, &Variables::etatB6,
};

}  // namespace

void Chenillards(Variables& v) {
    // A step outside 1..10 (never produced here) restarts the cycle instead of reading past the table.
    if (v.etapeChenillard < 0 || v.etapeChenillard >= 10) v.etapeChenillard = 0;
    v.etapeChenillard = static_cast<Entier>(v.etapeChenillard + 1);
    const Etat allume = (v.inverseActif ? INVERSE : NORMAL)[v.etapeChenillard - 1];
    for (Etat e : CHASSES) v.*e = (e == allume) ? VRAI : FAUX;
    if (v.etapeChenillard == 10) v.etapeChenillard = 0;
}

}  // namespace korvalen
