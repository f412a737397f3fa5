#include "remote/LectureOsc.h"

#include <bit>
#include <cstring>

namespace korvalen {

namespace {

constexpr char ENTETE_PAQUET[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', '\0'};
constexpr std::uint32_t LOOPBACK = 0x7F000000;  // 127.0.0.0/8

// The length of the OSC string at the start of `p` with its padding to 4 bytes, or 0 when it does
// not end within `taille` bytes or its padding is not all NULs.
std::size_t longueurChaine(const char* p, std::size_t taille) {
    const void* nul = std::memchr(p, '\0', taille);
    if (nul == nullptr) return 0;
    const std::size_t fin = static_cast<std::size_t>(static_cast<const char*>(nul) - p);
    const std::size_t n = (fin + 4) & ~std::size_t{3};
    if (n > taille) return 0;
    for (std::size_t i = fin; i < n; ++i) {
        if (p[i] != '\0') return 0;
    }
    return n;
}

std::uint32_t grosBoutiste(const char* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
    return v;
}

void lireElement(const char* donnees, std::size_t taille, int profondeur, const LectureOsc& lecture) {
    if (taille >= sizeof ENTETE_PAQUET && std::memcmp(donnees, ENTETE_PAQUET, sizeof ENTETE_PAQUET) == 0) {
        // A bundle: its time tag is not waited for, its elements are handled at once, in order.
        if (profondeur >= PROFONDEUR_PAQUETS_MAX || taille < 16) {
            lecture(std::nullopt);
            return;
        }
        std::size_t position = 16;
        while (position < taille) {
            const std::size_t reste = taille - position;
            const std::uint32_t longueur = reste >= 4 ? grosBoutiste(donnees + position) : 0;
            if (longueur == 0 || longueur % 4 != 0 || longueur > reste - 4) {
                // What follows cannot be found again: the rest of the bundle is one unreadable element.
                lecture(std::nullopt);
                return;
            }
            lireElement(donnees + position + 4, longueur, profondeur + 1, lecture);
            position += 4 + longueur;
        }
        return;
    }
    lecture(lireMessageOsc(donnees, taille));
}

}  // namespace

std::optional<MessageOsc> lireMessageOsc(const void* donnees, std::size_t taille) {
    const char* octets = static_cast<const char*>(donnees);
    const std::size_t adresse = taille == 0 ? 0 : longueurChaine(octets, taille);
    if (adresse == 0 || !adresseConnue(octets)) return std::nullopt;
    const char* types = octets + adresse;
    const std::size_t longueurTypes = longueurChaine(types, taille - adresse);
    // Only the shapes our addresses take: an argument of any other type is refused unread.
    if (longueurTypes == 0 || types[0] != ',' || std::strlen(types) > 1 + ARGUMENTS_MAX) return std::nullopt;
    const char type = types[1];
    if (type != '\0' && type != 'i' && type != 'f' && type != 's') return std::nullopt;

    MessageOsc message;
    message.adresse = octets;
    const char* argument = types + longueurTypes;
    const std::size_t reste = taille - adresse - longueurTypes;
    std::size_t lu = 0;
    if (type == 'i' || type == 'f') {
        if (reste < 4) return std::nullopt;
        const std::uint32_t bits = grosBoutiste(argument);
        ArgumentOsc a;
        a.type = type;
        if (type == 'i') a.entier = static_cast<std::int32_t>(bits);
        if (type == 'f') a.reel = std::bit_cast<float>(bits);
        message.arguments.push_back(std::move(a));
        lu = 4;
    } else if (type == 's') {
        lu = reste == 0 ? 0 : longueurChaine(argument, reste);
        if (lu == 0) return std::nullopt;
        ArgumentOsc a;
        a.type = 's';
        a.texte = argument;
        message.arguments.push_back(std::move(a));
    }
    // Bytes past the arguments belong to nothing: the message is not what it says.
    if (lu != reste) return std::nullopt;
    return message;
}

void lirePaquetOsc(const void* donnees, std::size_t taille, const LectureOsc& lecture) {
    lireElement(static_cast<const char*>(donnees), taille, 0, lecture);
}

bool PorteOsc::autorise(std::uint32_t hote) const {
    if (!reseau_ && (hote & 0xFF000000) != LOOPBACK) return false;
    return clients_.autorise(hote);
}

bool recevoirPaquetOsc(const PorteOsc& porte, std::span<const std::uint8_t> paquet, std::uint32_t hote,
                       const DecodageRecu& decodage) {
    if (!porte.autorise(hote)) return false;
    lirePaquetOsc(paquet.data(), paquet.size(), [&](const std::optional<MessageOsc>& m) {
        decodage(m ? decoderOsc(*m) : DecodageOsc{});
    });
    return true;
}

}  // namespace korvalen
