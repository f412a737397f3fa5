// Fuzzer of the profile reader and writer: any bytes are read without fault, values stay within
// 255 characters, and values written into any file are read back.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "config/Configuration.h"
#include "config/ProfileStream.h"

namespace {

// Characters of a UTF-8 text: every byte that does not continue a sequence.
std::size_t characters(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::istringstream in(text);
    for (const auto& value : korvalen::readProfileValues(in, "Sorties", {"A 0", "b 7", "Bouton1"})) {
        if (value && characters(*value) > korvalen::kProfileValueMax) std::abort();
        if (value) korvalen::entierINI(*value);
    }

    const std::string name = "\xC3\xA9t\xC3\xA9.lum";  // "été.lum"
    std::istringstream old(text);
    std::ostringstream out;
    korvalen::writeProfileValues(old, out, "Options", {{"Temps_timer", "150"}, {"fichierLUM", name}});
    std::istringstream back(out.str());
    const auto values = korvalen::readProfileValues(back, "options", {"TEMPS_TIMER", "fichierLUM"});
    if (values[0] != "150" || values[1] != name) std::abort();
    return 0;
}
