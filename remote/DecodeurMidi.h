#pragma once
// Turns the bytes of one MIDI message into an action, by the notes of Config.ini's [MIDI].

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "config/Configuration.h"
#include "remote/ActionDistante.h"

namespace korvalen {

/// The action of one complete MIDI message; nothing for any message that is not ours (note-offs included).
std::optional<ActionDistante> decoderMidi(const ReglagesMidi& reglages, std::span<const std::uint8_t> message);

/// The note-on that shows live button `k` (0..4) down or up on a pad's light.
std::array<std::uint8_t, 3> echoBoutonMidi(const ReglagesMidi& reglages, int k, bool bas);

}  // namespace korvalen
