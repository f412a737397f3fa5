#pragma once
// The [OSC] lists that say who gets the lamps' feedback ("Retour") and who may send ("Clients").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Configuration.h"

namespace korvalen {

/// One IPv4 address and UDP port, both in host order.
struct AdresseUdp {
    std::uint32_t hote = 0;
    std::uint16_t port = 0;
    bool operator==(const AdresseUdp&) const = default;
};

/// One IPv4 network: the addresses whose top `prefixe` bits are those of `adresse`.
struct ReseauIPv4 {
    std::uint32_t adresse = 0;
    int prefixe = 32;
    bool contient(std::uint32_t hote) const;
    bool operator==(const ReseauIPv4&) const = default;
};

/// A list that could not be read, and the sentence that says why.
struct ErreurListe {
    Texte texte;
};

/// A dotted IPv4 address ("192.168.1.20"), in host order; nothing for any other text.
std::optional<std::uint32_t> lireIPv4(std::string_view texte);
/// The dotted text of an address in host order.
std::string texteIPv4(std::uint32_t adresse);

/// "host:port" entries separated by commas (spaces allowed around them); an empty text is an empty
/// list. The host is a dotted IPv4 address, the port 1..65535. An unreadable entry is left out; a
/// text longer than LONGUEUR_TELECOMMANDE_MAX (one seen cut) is refused whole.
std::vector<AdresseUdp> lireRetour(std::string_view texte, ErreurListe* erreur = nullptr);

/// "192.168.1.0/24" or a single address, separated by commas; an empty text is an empty list. An
/// entry that is unreadable, or whose address has bits set past its prefix (a typo such as
/// "192.168.1.0/2"), is left out; a text longer than LONGUEUR_TELECOMMANDE_MAX is refused whole.
std::vector<ReseauIPv4> lireClients(std::string_view texte, ErreurListe* erreur = nullptr);

/// Who may send: anyone when no network is listed, else only a member of one of them. A list whose
/// every entry was refused, or that was cut, lets no one in rather than everyone.
class FiltreClients {
public:
    FiltreClients() = default;
    explicit FiltreClients(std::string_view texte, ErreurListe* erreur = nullptr);
    bool autorise(std::uint32_t hote) const;

private:
    bool tous_ = true;
    std::vector<ReseauIPv4> reseaux_;
};

}  // namespace korvalen
