#pragma once
// The sources of a PulseAudio server (PulseAudio itself or PipeWire's), each output's monitor
// among them, as `pactl list sources` shows them.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace korvalen {

/// One source of the sound server: the name it is opened by and the description shown.
struct SourcePulse {
    std::string nom;
    std::string description;
};

/// The server's sources, read within `delai`; nothing when there is no server, or when it does not
/// answer in that time (`muet` then tells which).
std::optional<std::vector<SourcePulse>> lireSourcesPulse(std::chrono::milliseconds delai, bool& muet);

}  // namespace korvalen
