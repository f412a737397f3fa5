#pragma once
// The two ways in from a remote controller, behind small interfaces so that tests can stand in.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "remote/ClientsRecents.h"
#include "remote/DecodeurOsc.h"

namespace korvalen {

/// A MIDI input port that controllers are connected to, and an output port for the pads' lights.
class IMidi {
public:
    /// Called on the MIDI library's own thread with each complete message.
    using Reception = std::function<void(std::span<const std::uint8_t>)>;
    virtual ~IMidi() = default;
    /// Opens both ports; a French sentence saying why when it cannot.
    virtual std::optional<Texte> ouvrir(const ReglagesMidi& reglages, Reception reception) = 0;
    /// Closes both ports; the reception is no longer called once this returns.
    virtual void fermer() = 0;
    /// Sends one message on the output port; nothing when it is not open.
    virtual void envoyer(std::span<const std::uint8_t> message) = 0;
};

/// A UDP server for OSC surfaces, that also answers the surfaces it heard.
class IServeurOsc {
public:
    /// Called on the server's own thread with each packet received, unread, and its sender.
    using Reception = std::function<void(std::span<const std::uint8_t> paquet, const ClientOsc& de)>;
    virtual ~IServeurOsc() = default;
    /// Binds the port and starts listening; a French sentence saying why when it cannot.
    virtual std::optional<Texte> ouvrir(const ReglagesOsc& reglages, Reception reception) = 0;
    /// Stops listening and frees the port; the reception is no longer called once this returns.
    virtual void fermer() = 0;
    /// Sends `adresse` with integer arguments to one client, without waiting.
    virtual void envoyer(const ClientOsc& a, const std::string& adresse, const std::vector<std::int32_t>& valeurs) = 0;
};

}  // namespace korvalen
