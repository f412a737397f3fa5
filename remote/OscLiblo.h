#pragma once
// OSC over UDP: a socket of our own, read on a thread of its own, the messages read and written by liblo.

#include <atomic>
#include <thread>

#include "remote/IDistant.h"

namespace korvalen {

/// The real OSC server, on the loopback or on every network interface.
class OscLiblo : public IServeurOsc {
public:
    OscLiblo() = default;
    ~OscLiblo() override;
    OscLiblo(const OscLiblo&) = delete;
    OscLiblo& operator=(const OscLiblo&) = delete;

    std::optional<std::string> ouvrir(const ReglagesOsc& reglages, Reception reception) override;
    void envoyer(const ClientOsc& a, const std::string& adresse, const std::vector<std::int32_t>& valeurs) override;

private:
    void ecouter();

    Reception reception_;
    int socket_ = -1;
    int reveil_ = -1;  // written to when the listening thread must end
    std::thread fil_;
};

/// Reads one UDP packet as an OSC message through liblo; nothing when it is not one.
std::optional<MessageOsc> lireMessageOsc(const void* donnees, std::size_t taille);

}  // namespace korvalen
