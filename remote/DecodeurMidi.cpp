#include "remote/DecodeurMidi.h"

namespace korvalen {

std::optional<ActionDistante> decoderMidi(const ReglagesMidi& reglages, std::span<const std::uint8_t> message) {
    if (message.empty()) return std::nullopt;
    const std::uint8_t statut = message[0];
    const int genre = statut & 0xF0;
    const int canal = (statut & 0x0F) + 1;
    if (statut < 0x80 || statut >= 0xF0) return std::nullopt;  // running status and system messages
    if (reglages.canal != 0 && canal != reglages.canal) return std::nullopt;

    if (genre == 0xC0 && message.size() == 2 && message[1] < 0x80) {
        return ActionDistante{ActionDistante::Type::ModeParPosition, message[1], false, {}};
    }
    // A note-on of velocity 0 is a note-off by the MIDI standard: nothing happens on release.
    if (genre != 0x90 || message.size() != 3 || message[1] >= 0x80 || message[2] == 0 || message[2] >= 0x80) {
        return std::nullopt;
    }
    const int note = message[1];
    for (int k = 0; k < static_cast<int>(reglages.notesBoutons.size()); ++k) {
        if (note == reglages.notesBoutons[static_cast<std::size_t>(k)]) {
            return ActionDistante{ActionDistante::Type::BasculerBoutonDirect, k, false, {}};
        }
    }
    if (note == reglages.noteLancement) return ActionDistante{ActionDistante::Type::BasculerMarche, 0, false, {}};
    if (note == reglages.noteInitialisation) return ActionDistante{ActionDistante::Type::Initialisation, 0, false, {}};
    return std::nullopt;
}

std::array<std::uint8_t, 3> echoBoutonMidi(const ReglagesMidi& reglages, int k, bool bas) {
    // "All channels" answers on the first one.
    const int canal = reglages.canal == 0 ? 1 : reglages.canal;
    return {static_cast<std::uint8_t>(0x90 | (canal - 1)),
            static_cast<std::uint8_t>(reglages.notesBoutons[static_cast<std::size_t>(k)]),
            static_cast<std::uint8_t>(bas ? 127 : 0)};
}

}  // namespace korvalen
