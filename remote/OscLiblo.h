#pragma once
// OSC over UDP: a socket of our own, read on a thread of its own; the packets received are handed over
// unread, and liblo writes the ones sent.

#include <atomic>
#include <functional>
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

    std::optional<Texte> ouvrir(const ReglagesOsc& reglages, Reception reception) override;
    void fermer() override;
    void envoyer(const ClientOsc& a, const std::string& adresse, const std::vector<std::int32_t>& valeurs) override;

private:
    void ecouter();

    Reception reception_;
    int socket_ = -1;
    int reveil_ = -1;  // written to when the listening thread must end
    std::thread fil_;
};

}  // namespace korvalen
