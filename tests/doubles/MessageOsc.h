#pragma once
// OSC messages as a surface sends them, written by liblo, for the tests and the benchmarks.

#include <lo/lo.h>

#include <cstdlib>
#include <string>

namespace korvalen::test {

/// One OSC message for `adresse` with `entiers` int arguments, each `valeur`, as liblo writes it.
inline std::string messageOsc(const char* adresse, int entiers, int valeur = 1) {
    lo_message m = lo_message_new();
    for (int k = 0; k < entiers; ++k) lo_message_add_int32(m, valeur);
    std::size_t taille = 0;
    void* octets = lo_message_serialise(m, adresse, nullptr, &taille);
    std::string texte(static_cast<const char*>(octets), taille);
    std::free(octets);
    lo_message_free(m);
    return texte;
}

}  // namespace korvalen::test
