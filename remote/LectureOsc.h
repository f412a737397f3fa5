#pragma once
// The road of one OSC packet from the network: the sender checked first, then the bundles opened and
// each message read by our own strict reader, free of any OSC library so that every byte a stranger
// can send is read by code the sanitizers and the fuzzer see.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "remote/DecodeurOsc.h"
#include "remote/ReseauxOsc.h"

namespace korvalen {

/// Reads one OSC message: its address must be one of ours and its type tags one of ",", ",i", ",f"
/// or ",s", every string ended and padded with NULs, the arguments ending with the packet; nothing
/// otherwise.
std::optional<MessageOsc> lireMessageOsc(const void* donnees, std::size_t taille);

/// Called with each message of a packet, in order; nothing for one that cannot be read or is refused.
using LectureOsc = std::function<void(const std::optional<MessageOsc>&)>;
/// Reads one UDP packet: a message, or a bundle whose messages (bundles nested up to
/// PROFONDEUR_PAQUETS_MAX deep) are handed over at once and in order, whatever their time tag.
void lirePaquetOsc(const void* donnees, std::size_t taille, const LectureOsc& lecture);

/// Who may send packets: a member of the "Clients" networks and, while the server listens on the
/// loopback only, a loopback address (another address of this machine could be anyone's forgery).
class PorteOsc {
public:
    PorteOsc() = default;
    PorteOsc(FiltreClients clients, bool reseau) : clients_(std::move(clients)), reseau_(reseau) {}
    bool autorise(std::uint32_t hote) const;

private:
    FiltreClients clients_;
    bool reseau_ = false;
};

/// Called with what each message of an admitted packet asks, in order.
using DecodageRecu = std::function<void(const DecodageOsc&)>;
/// One packet from `hote`: false, with not a byte of it read, when `porte` refuses the sender;
/// otherwise each message is read and decoded, an unreadable one as a refusal.
bool recevoirPaquetOsc(const PorteOsc& porte, std::span<const std::uint8_t> paquet, std::uint32_t hote,
                       const DecodageRecu& decodage);

}  // namespace korvalen
