#pragma once
// OSC over UDP: a socket of our own, read on a thread of its own, the messages read and written by liblo.

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

    std::optional<std::string> ouvrir(const ReglagesOsc& reglages, Reception reception) override;
    void fermer() override;
    void envoyer(const ClientOsc& a, const std::string& adresse, const std::vector<std::int32_t>& valeurs) override;

private:
    void ecouter();

    Reception reception_;
    int socket_ = -1;
    int reveil_ = -1;  // written to when the listening thread must end
    std::thread fil_;
};

/// Reads one OSC message through liblo; nothing when it is not one, or when its address is none of
/// ours or it carries more arguments than any of ours (both checked before any argument is built).
std::optional<MessageOsc> lireMessageOsc(const void* donnees, std::size_t taille);

/// Called with each message of a packet, in order; nothing for one that cannot be read or is refused.
using LectureOsc = std::function<void(const std::optional<MessageOsc>&)>;
/// Reads one UDP packet: a message, or a bundle whose messages (bundles nested up to
/// PROFONDEUR_PAQUETS_MAX deep) are handed over at once and in order, whatever their time tag.
void lirePaquetOsc(const void* donnees, std::size_t taille, const LectureOsc& lecture);

}  // namespace korvalen
