#pragma once
// MIDI ports through RtMidi: a virtual input port "Korvalen" and an output port for the pads' lights.

#include <memory>
#include <string>

#include "remote/IDistant.h"

class RtMidiIn;
class RtMidiOut;

namespace korvalen {

/// The real MIDI driver. The backend is ALSA's sequencer or JACK: the one "Pilote" names, otherwise
/// the first of RtMidi's that opens.
class MidiRtMidi : public IMidi {
public:
    /// `nomClient` names the ports' client and the input port (tests give each run a name of its own).
    explicit MidiRtMidi(std::string nomClient = "Korvalen");
    ~MidiRtMidi() override;
    std::optional<Texte> ouvrir(const ReglagesMidi& reglages, Reception reception) override;
    void fermer() override;
    void envoyer(std::span<const std::uint8_t> message) override;
    /// The backend in use ("alsa", "jack"), empty while closed.
    std::string pilote() const { return pilote_; }

    /// Name of the output port beside the input port, and of its client.
    static std::string nomRetour(const std::string& nomClient) { return nomClient + " retour"; }

private:
    std::optional<std::string> essayer(int api);

    std::string nomClient_;
    std::string pilote_;
    Reception reception_;
    std::unique_ptr<RtMidiIn> entree_;
    std::unique_ptr<RtMidiOut> sortie_;
};

}  // namespace korvalen
