#include "engine/PortParallele.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <csignal>
#include <mutex>
#include <thread>
#include <utility>

#include "engine/RaisonSysteme.h"

namespace korvalen {

namespace {

// Every failure ends the same way: the run goes on without lamps.
Texte sansLampes(Texte raison) {
    return Texte(TRADUISIBLE("Korvalen", "%1 Les lampes ne seront pas commandées ; seules les sorties à l'écran "
                                         "suivent la musique."),
                 {std::move(raison)});
}

enum class Etape { Ouverture, Verrou, Reservation };

Texte messageEchec(const std::string& peripherique, Etape etape, int erreur) {
    const char* const ratee[] = {
        TRADUISIBLE("Korvalen", "Le port parallèle %1 n'a pas pu être ouvert : %2."),
        TRADUISIBLE("Korvalen", "Le port parallèle %1 n'a pas pu être verrouillé : %2."),
        TRADUISIBLE("Korvalen", "Le port parallèle %1 n'a pas pu être réservé : %2."),
    };
    Texte echec(ratee[static_cast<int>(etape)], {Texte::tel(peripherique), raisonSysteme(erreur)});
    if (erreur == EACCES || erreur == EPERM) {
        echec = Texte(TRADUISIBLE("Korvalen", "%1 Le port est réservé aux membres du groupe lp : ajoutez-y votre compte "
                                              "(sudo adduser $USER lp), puis ouvrez une nouvelle session."),
                      {std::move(echec)});
    }
    return sansLampes(std::move(echec));
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

// The port's thread and what it shares with the window's: requests (open, claim again) run first,
// then the newest sequence of writes.
struct PortParallele::Fil {
    explicit Fil(std::string p) : peripherique(std::move(p)) {}

    std::optional<Texte> ouvrirIci(std::chrono::milliseconds delai);
    void envoyer(const std::vector<Ecriture>& sequence);
    void boucle();

    const std::string peripherique;
    std::atomic<int> fd{-1};
    std::mutex verrou;
    std::condition_variable reveil;  // the port's thread waits here for work
    std::condition_variable calme;   // the others wait here for the thread to be idle or gone
    std::deque<std::function<void()>> demandes;
    std::optional<std::vector<Ecriture>> boite;  // the newest sequence not yet started
    bool occupe = false;
    bool arret = false;
    bool termine = false;
};

std::optional<Texte> PortParallele::Fil::ouvrirIci(std::chrono::milliseconds delai) {
    if (fd.load() >= 0) return std::nullopt;
    const int f = ::open(peripherique.c_str(), O_RDWR | O_CLOEXEC);
    if (f < 0) return messageEchec(peripherique, Etape::Ouverture, errno);
    // One Korvalen per port: a second one would wait in the claim and stall the first one's writes.
    if (::flock(f, LOCK_EX | LOCK_NB) != 0) {
        const int erreur = errno;
        ::close(f);
        if (erreur == EWOULDBLOCK) {
            return sansLampes(Texte(TRADUISIBLE("Korvalen", "Le port parallèle %1 est déjà utilisé par un autre Korvalen."),
                                    {Texte::tel(peripherique)}));
        }
        return messageEchec(peripherique, Etape::Verrou, erreur);
    }
    // Another program (a printer daemon, say) may hold the port; without the claim no write reaches it.
    if (const int erreur = reserver(f, delai); erreur != 0) {
        ::close(f);
        if (erreur == EBUSY) {
            return sansLampes(Texte(TRADUISIBLE("Korvalen", "Le port parallèle %1 est occupé par un autre programme "
                                                            "(une imprimante, par exemple)."),
                                    {Texte::tel(peripherique)}));
        }
        return messageEchec(peripherique, Etape::Reservation, erreur);
    }
    fd.store(f);
    return std::nullopt;
}

void PortParallele::Fil::envoyer(const std::vector<Ecriture>& sequence) {
    const int f = fd.load();
    if (f < 0) return;
    for (const Ecriture& e : sequence) {
        unsigned long requete = 0;
        if (e.adresse == PORT_DONNEES) {
            requete = PPWDATA;
        } else if (e.adresse == PORT_CONTROLE) {
            requete = PPWCONTROL;
        } else {
            continue;
        }
        unsigned char octet = e.octet;
        // A failed write is not reported: the next refresh tick rewrites both groups anyway.
        ::ioctl(f, requete, &octet);
    }
}

void PortParallele::Fil::boucle() {
    std::unique_lock l(verrou);
    for (;;) {
        reveil.wait(l, [&] { return arret || !demandes.empty() || boite; });
        if (!demandes.empty()) {
            auto demande = std::move(demandes.front());
            demandes.pop_front();
            occupe = true;
            l.unlock();
            demande();
        } else if (boite) {
            const std::vector<Ecriture> sequence = std::move(*boite);
            boite.reset();
            occupe = true;
            l.unlock();
            envoyer(sequence);
        } else {
            break;  // stopping, with nothing left to send
        }
        l.lock();
        occupe = false;
        calme.notify_all();
    }
    l.unlock();
    if (const int f = fd.exchange(-1); f >= 0) {
        ::ioctl(f, PPRELEASE);
        ::close(f);
    }
    l.lock();
    termine = true;
    calme.notify_all();
}

PortParallele::PortParallele(std::string peripherique) : fil_(std::make_shared<Fil>(std::move(peripherique))) {
    std::thread([fil = fil_] { fil->boucle(); }).detach();
}

PortParallele::~PortParallele() {
    std::unique_lock l(fil_->verrou);
    fil_->arret = true;
    fil_->reveil.notify_one();
    // A thread asleep in the kernel is left behind: quitting must not wait for another program.
    fil_->calme.wait_for(l, DELAI_FERMETURE, [this] { return fil_->termine; });
}

std::optional<Texte> PortParallele::ouvrir(std::chrono::milliseconds delai) {
    auto resultat = std::make_shared<std::promise<std::optional<Texte>>>();
    std::future<std::optional<Texte>> attendu = resultat->get_future();
    {
        std::lock_guard l(fil_->verrou);
        fil_->demandes.push_back([fil = fil_.get(), delai, resultat] { resultat->set_value(fil->ouvrirIci(delai)); });
    }
    fil_->reveil.notify_one();
    return attendu.get();
}

void PortParallele::ouvrirEnFond(Avertir avertir) {
    {
        std::lock_guard l(fil_->verrou);
        fil_->demandes.push_back([fil = fil_.get(), avertir = std::move(avertir)] {
            if (const auto erreur = fil->ouvrirIci(DELAI_RESERVATION); erreur && avertir) avertir(*erreur);
        });
    }
    fil_->reveil.notify_one();
}

void PortParallele::reconnecter() {
    {
        std::lock_guard l(fil_->verrou);
        fil_->demandes.push_back([fil = fil_.get()] { fil->ouvrirIci(DELAI_RESERVATION); });
    }
    fil_->reveil.notify_one();
}

bool PortParallele::ouvert() const { return fil_->fd.load() >= 0; }

void PortParallele::write(std::uint32_t address, std::uint8_t value) { sequence_.push_back({address, value}); }

void PortParallele::finSequence() {
    {
        std::lock_guard l(fil_->verrou);
        fil_->boite = std::move(sequence_);
    }
    sequence_.clear();
    fil_->reveil.notify_one();
}

void PortParallele::synchroniser() {
    std::unique_lock l(fil_->verrou);
    fil_->calme.wait_for(l, std::chrono::seconds(5),
                         [this] { return fil_->demandes.empty() && !fil_->boite && !fil_->occupe; });
}

}  // namespace korvalen
