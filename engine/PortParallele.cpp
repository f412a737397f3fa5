#include "engine/PortParallele.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace korvalen {

namespace {

std::string messageEchec(const std::string& peripherique, const char* quoi, int erreur) {
    return "Le port parallèle " + peripherique + " n'a pas pu être " + quoi + " : " +
           std::generic_category().message(erreur) +
           ". Les lampes ne seront pas commandées ; seules les sorties à l'écran suivent la musique.";
}

}  // namespace

PortParallele::PortParallele(std::string peripherique) : peripherique_(std::move(peripherique)) {}

PortParallele::~PortParallele() {
    if (fd_ < 0) return;
    ::ioctl(fd_, PPRELEASE);
    ::close(fd_);
}

std::optional<std::string> PortParallele::ouvrir() {
    if (fd_ >= 0) return std::nullopt;
    const int fd = ::open(peripherique_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return messageEchec(peripherique_, "ouvert", errno);
    // Another program (a printer daemon, say) may hold the port; without the claim no write reaches it.
    if (::ioctl(fd, PPCLAIM) != 0) {
        const int erreur = errno;
        ::close(fd);
        return messageEchec(peripherique_, "réservé", erreur);
    }
    fd_ = fd;
    return std::nullopt;
}

void PortParallele::write(std::uint32_t address, std::uint8_t value) {
    if (fd_ < 0) return;
    unsigned long requete = 0;
    if (address == PORT_DONNEES) {
        requete = PPWDATA;
    } else if (address == PORT_CONTROLE) {
        requete = PPWCONTROL;
    } else {
        return;
    }
    unsigned char octet = value;
    // A failed write is not reported: the next refresh tick rewrites both groups anyway.
    ::ioctl(fd_, requete, &octet);
}

}  // namespace korvalen
