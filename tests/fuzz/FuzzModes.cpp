// Fuzzer of the mode file reader: any bytes are read without fault, and what was read is written
// and read back unchanged.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "modes/FichierModes.h"

namespace {

bool sameRecord(const korvalen::Sortie& x, const korvalen::Sortie& y) {
    return x.active == y.active && x.seuil == y.seuil && x.sens == y.sens;
}

bool sameMode(const korvalen::Variables& a, const korvalen::Variables& b) {
    for (std::size_t i = 0; i < korvalen::NB_SORTIES_GROUPE; ++i)
        if (!sameRecord(a.SortieA[i], b.SortieA[i]) || !sameRecord(a.SortieB[i], b.SortieB[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    korvalen::Variables read;
    korvalen::lireModes(read, in);

    std::ostringstream out;
    korvalen::ecrireModes(read, out);
    std::istringstream back(out.str());
    korvalen::Variables again;
    again.SortieA[0].seuil[0] = 12345;  // must be overwritten: a written file holds every field
    korvalen::lireModes(again, back);
    if (!sameMode(read, again)) std::abort();
    return 0;
}
