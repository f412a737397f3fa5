#include "remote/OscLiblo.h"

#include <arpa/inet.h>
#include <lo/lo.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/RaisonSysteme.h"
#include "remote/DecodeurOsc.h"

namespace korvalen {

namespace {

// The length of the OSC string at the start of `p` with its padding to 4 bytes, or 0 when it does
// not end within `taille` bytes.
std::size_t longueurChaine(const char* p, std::size_t taille) {
    const void* nul = std::memchr(p, '\0', taille);
    if (nul == nullptr) return 0;
    const std::size_t n = ((static_cast<const char*>(nul) - p) + 4) & ~std::size_t{3};
    return n <= taille ? n : 0;
}

std::uint32_t grosBoutiste(const char* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return ntohl(v);
}

constexpr char ENTETE_PAQUET[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', '\0'};

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
    // The address and the number of type tags are checked before liblo builds any argument: a packet
    // of thousands of arguments, or one for no address of ours, costs no more than its first bytes.
    const char* octets = static_cast<const char*>(donnees);
    const std::size_t adresse = taille == 0 ? 0 : longueurChaine(octets, taille);
    if (adresse == 0 || !adresseConnue(octets)) return std::nullopt;
    if (adresse >= taille || octets[adresse] != ',') return std::nullopt;
    if (longueurChaine(octets + adresse, taille - adresse) == 0 ||
        std::strlen(octets + adresse) - 1 > ARGUMENTS_MAX) {
        return std::nullopt;
    }
    int resultat = 0;
    lo_message m = lo_message_deserialise(const_cast<void*>(donnees), taille, &resultat);
    if (m == nullptr) return std::nullopt;
    MessageOsc message;
    message.adresse = octets;
    const char* types = lo_message_get_types(m);
    lo_arg** arguments = lo_message_get_argv(m);
    const int nombre = lo_message_get_argc(m);
    for (int i = 0; i < nombre; ++i) {
        // The arguments lie in the packet's layout, 4-byte aligned: read as bytes, not through the union.
        const auto* valeur = reinterpret_cast<const char*>(arguments[i]);
        ArgumentOsc a;
        a.type = types[i];
        if (a.type == LO_INT32) std::memcpy(&a.entier, valeur, sizeof a.entier);
        if (a.type == LO_FLOAT) std::memcpy(&a.reel, valeur, sizeof a.reel);
        if (a.type == LO_STRING) a.texte = valeur;
        message.arguments.push_back(std::move(a));
    }
    lo_message_free(m);
    return message;
}

void lirePaquetOsc(const void* donnees, std::size_t taille, const LectureOsc& lecture) {
    lireElement(static_cast<const char*>(donnees), taille, 0, lecture);
}

OscLiblo::~OscLiblo() { fermer(); }

void OscLiblo::fermer() {
    if (fil_.joinable()) {
        const std::uint64_t un = 1;
        [[maybe_unused]] const ssize_t n = write(reveil_, &un, sizeof un);
        fil_.join();
    }
    if (socket_ >= 0) close(socket_);
    if (reveil_ >= 0) close(reveil_);
    socket_ = -1;
    reveil_ = -1;
}

std::optional<std::string> OscLiblo::ouvrir(const ReglagesOsc& reglages, Reception reception) {
    fermer();
    reception_ = std::move(reception);
    const auto echec = [&](int erreur) -> std::optional<std::string> {
        if (socket_ >= 0) close(socket_);
        socket_ = -1;
        return "Korvalen n'a pas pu ouvrir le port OSC " + std::to_string(reglages.port) + " (" +
               (reglages.reseau ? "réseau" : "local") + ") : " + raisonSysteme(erreur) +
               ". Le programme continue sans commande OSC.";
    };
    socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) return echec(errno);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_port = htons(reglages.port);
    adresse.sin_addr.s_addr = htonl(reglages.reseau ? INADDR_ANY : INADDR_LOOPBACK);
    if (bind(socket_, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) != 0) return echec(errno);
    reveil_ = eventfd(0, EFD_CLOEXEC);
    if (reveil_ < 0) return echec(errno);
    fil_ = std::thread([this] { ecouter(); });
    return std::nullopt;
}

void OscLiblo::ecouter() {
    // The largest UDP payload: a longer packet cannot arrive whole.
    std::vector<unsigned char> paquet(65536);
    pollfd attente[2] = {{socket_, POLLIN, 0}, {reveil_, POLLIN, 0}};
    for (;;) {
        if (poll(attente, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (attente[1].revents != 0) return;
        sockaddr_in de{};
        socklen_t taille = sizeof de;
        const ssize_t n =
            recvfrom(socket_, paquet.data(), paquet.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&de), &taille);
        if (n < 0 || de.sin_family != AF_INET) continue;
        char hote[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &de.sin_addr, hote, sizeof hote);
        const ClientOsc client{hote, ntohs(de.sin_port)};
        lirePaquetOsc(paquet.data(), static_cast<std::size_t>(n),
                      [&](const std::optional<MessageOsc>& message) { reception_(message, client); });
    }
}

void OscLiblo::envoyer(const ClientOsc& a, const std::string& adresse, const std::vector<std::int32_t>& valeurs) {
    if (socket_ < 0) return;
    sockaddr_in vers{};
    vers.sin_family = AF_INET;
    vers.sin_port = htons(static_cast<std::uint16_t>(a.port));
    if (inet_pton(AF_INET, a.hote.c_str(), &vers.sin_addr) != 1) return;
    lo_message m = lo_message_new();
    for (const std::int32_t v : valeurs) lo_message_add_int32(m, v);
    std::size_t taille = 0;
    void* donnees = lo_message_serialise(m, adresse.c_str(), nullptr, &taille);
    lo_message_free(m);
    if (donnees == nullptr) return;
    // A surface that reads nothing must not hold up the window's thread: a full buffer drops the packet.
    sendto(socket_, donnees, taille, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&vers), sizeof vers);
    std::free(donnees);
}

}  // namespace korvalen
