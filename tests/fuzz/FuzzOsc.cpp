// Fuzzer of what a network peer or a MIDI device hands the program. The first four bytes are the
// sender's address, the rest a UDP packet that takes the whole road of the program's OSC server:
// the sender is checked, then the packet (a bundle too) is read and decoded. A sender outside the
// networks allowed gets nothing read; a mode name that comes through stays in the save folder; the
// same bytes as a MIDI message decode without fault.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "remote/DecodeurMidi.h"
#include "remote/LectureOsc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t hote = std::uint32_t{data[0]} << 24 | std::uint32_t{data[1]} << 16 |
                               std::uint32_t{data[2]} << 8 | data[3];
    const std::span<const std::uint8_t> paquet(data + 4, size - 4);
    // Listening on the network for one LAN, and on the loopback for anyone: both gates are crossed.
    static const korvalen::PorteOsc reseau(korvalen::FiltreClients("192.168.1.0/24, 10.0.0.7"), true);
    static const korvalen::PorteOsc local(korvalen::FiltreClients(""), false);
    for (const korvalen::PorteOsc* porte : {&reseau, &local}) {
        bool lu = false;
        const bool admis = korvalen::recevoirPaquetOsc(*porte, paquet, hote, [&](const korvalen::DecodageOsc& d) {
            lu = true;
            if (d.etat != korvalen::DecodageOsc::Etat::Action) return;
            const korvalen::ActionDistante& a = d.action;
            if (a.type == korvalen::ActionDistante::Type::ModeParNom &&
                (a.nom.find('/') != std::string::npos || a.nom.find("..") != std::string::npos)) {
                std::abort();
            }
            if (a.type == korvalen::ActionDistante::Type::BoutonDirect && (a.index < 0 || a.index > 4)) std::abort();
        });
        if (admis != porte->autorise(hote) || (lu && !admis)) std::abort();
    }
    korvalen::ReglagesMidi r;
    if (const auto a = korvalen::decoderMidi(r, paquet)) {
        if (a->type == korvalen::ActionDistante::Type::BasculerBoutonDirect && (a->index < 0 || a->index > 4)) {
            std::abort();
        }
    }
    return 0;
}
