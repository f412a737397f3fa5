// Fuzzer of what a network peer or a MIDI device hands the program: any packet (a bundle too) is read as
// OSC messages or refused without fault, a mode name that comes through stays in the save folder, and
// the same bytes as a MIDI message decode without fault.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "remote/DecodeurMidi.h"
#include "remote/DecodeurOsc.h"
#include "remote/OscLiblo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvalen::lirePaquetOsc(data, size, [](const std::optional<korvalen::MessageOsc>& m) {
        if (!m) return;
        const korvalen::DecodageOsc d = korvalen::decoderOsc(*m);
        if (d.etat == korvalen::DecodageOsc::Etat::Action) {
            const korvalen::ActionDistante& a = d.action;
            if (a.type == korvalen::ActionDistante::Type::ModeParNom &&
                (a.nom.find('/') != std::string::npos || a.nom.find("..") != std::string::npos)) {
                std::abort();
            }
            if (a.type == korvalen::ActionDistante::Type::BoutonDirect && (a.index < 0 || a.index > 4)) std::abort();
        }
    });
    korvalen::ReglagesMidi r;
    if (const auto a = korvalen::decoderMidi(r, std::span<const std::uint8_t>(data, size))) {
        if (a->type == korvalen::ActionDistante::Type::BasculerBoutonDirect && (a->index < 0 || a->index > 4)) {
            std::abort();
        }
    }
    return 0;
}
