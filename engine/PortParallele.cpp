#include "engine/PortParallele.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <utility>

#include "engine/RaisonSysteme.h"

namespace korvalen {

namespace {

const std::string SANS_LAMPES = " Les lampes ne seront pas commandées ; seules les sorties à l'écran suivent la musique.";

std::string messageEchec(const std::string& peripherique, const char* quoi, int erreur) {
    std::string message = "Le port parallèle " + peripherique + " n'a pas pu être " + quoi + " : " +
                          raisonSysteme(erreur) + ".";
    if (erreur == EACCES || erreur == EPERM) {
        message += " Le port est réservé aux membres du groupe lp : ajoutez-y votre compte "
                   "(sudo adduser $USER lp), puis ouvrez une nouvelle session.";
    }
    return message + SANS_LAMPES;
}

// The claim waits in the kernel, interruptibly, while another program holds the port. A signal
// with a handler that does nothing ends that wait with EINTR.
int signalInterruption() {
    static const int signal = [] {
        const int s = SIGRTMIN + 3;
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: the claim must return
        ::sigaction(s, &action, nullptr);
        return s;
    }();
    return signal;
}

// Claims the port on a thread of its own, so that a claim that waits can be given up after `delai`:
// while it waits the kernel holds a lock that every ppdev user shares. 0 or an errno value.
int reserver(int fd, std::chrono::milliseconds delai) {
    const int signal = signalInterruption();
    std::mutex verrou;
    std::condition_variable termine;
    bool fini = false;
    int erreur = 0;
    std::thread reservation([&] {
        const int r = ::ioctl(fd, PPCLAIM);
        const int e = r == 0 ? 0 : errno;
        std::lock_guard garde(verrou);
        fini = true;
        erreur = e;
        termine.notify_one();
    });
    std::unique_lock attente(verrou);
    if (!termine.wait_for(attente, delai, [&] { return fini; })) {
        // Repeated, since a signal that comes just before the claim begins interrupts nothing.
        do {
            ::pthread_kill(reservation.native_handle(), signal);
        } while (!termine.wait_for(attente, std::chrono::milliseconds(10), [&] { return fini; }));
        if (erreur == EINTR) erreur = EBUSY;
    }
    attente.unlock();
    reservation.join();
    return erreur;
}

}  // namespace

PortParallele::PortParallele(std::string peripherique) : peripherique_(std::move(peripherique)) {}

PortParallele::~PortParallele() {
    const int fd = fd_.load();
    if (fd < 0) return;
    ::ioctl(fd, PPRELEASE);
    ::close(fd);
}

std::optional<std::string> PortParallele::ouvrir(std::chrono::milliseconds delai) {
    if (ouvert()) return std::nullopt;
    const int fd = ::open(peripherique_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return messageEchec(peripherique_, "ouvert", errno);
    // One Korvalen per port: a second one would wait in the claim and stall the first one's writes.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int erreur = errno;
        ::close(fd);
        if (erreur == EWOULDBLOCK) {
            return "Le port parallèle " + peripherique_ + " est déjà utilisé par un autre Korvalen." + SANS_LAMPES;
        }
        return messageEchec(peripherique_, "verrouillé", erreur);
    }
    // Another program (a printer daemon, say) may hold the port; without the claim no write reaches it.
    if (const int erreur = reserver(fd, delai); erreur != 0) {
        ::close(fd);
        if (erreur == EBUSY) {
            return "Le port parallèle " + peripherique_ + " est occupé par un autre programme (une imprimante, "
                   "par exemple)." + SANS_LAMPES;
        }
        return messageEchec(peripherique_, "réservé", erreur);
    }
    fd_.store(fd, std::memory_order_release);
    return std::nullopt;
}

void PortParallele::write(std::uint32_t address, std::uint8_t value) {
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0) return;
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
    ::ioctl(fd, requete, &octet);
}

}  // namespace korvalen
