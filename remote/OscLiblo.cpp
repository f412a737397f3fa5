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

namespace korvalen {

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

std::optional<Texte> OscLiblo::ouvrir(const ReglagesOsc& reglages, Reception reception) {
    fermer();
    reception_ = std::move(reception);
    const auto echec = [&](int erreur) -> std::optional<Texte> {
        if (socket_ >= 0) close(socket_);
        socket_ = -1;
        return Texte(reglages.reseau ? TRADUISIBLE("Korvalen", "Korvalen n'a pas pu ouvrir le port OSC %1 (réseau) : %2. "
                                                               "Le programme continue sans commande OSC.")
                                     : TRADUISIBLE("Korvalen", "Korvalen n'a pas pu ouvrir le port OSC %1 (local) : %2. "
                                                               "Le programme continue sans commande OSC."),
                     {Texte::tel(std::to_string(reglages.port)), raisonSysteme(erreur)});
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
        // Handed over unread: the sender is judged before any byte of it is.
        reception_(std::span<const std::uint8_t>(paquet.data(), static_cast<std::size_t>(n)),
                   ClientOsc{hote, ntohs(de.sin_port)});
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
