#include "engine/PortOLA.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/io/Descriptor.h>
#include <ola/io/SelectServer.h>
#include <ola/network/TCPSocket.h>

#include "engine/RaisonSysteme.h"

namespace korvalen {

namespace {

constexpr int DELAI_CONNEXION_MS = 2000;
// olad answers a frame in well under a millisecond; this long without an answer means it hangs.
constexpr unsigned DELAI_ACCUSE_MS = 3000;
// While a lamp fades, a frame this often: 50 a second, over the 40 that make a fade look smooth.
constexpr long PERIODE_FONDU_NS = 20'000'000;

Texte avecRelance(Texte message) {
    return Texte(TRADUISIBLE("Korvalen", "%1\nEn attendant, seules les sorties à l'écran suivent la musique ; "
                                         "chaque « Lancement » réessaie."),
                 {std::move(message)});
}

Texte messageInjoignable(std::uint16_t port, int erreur) {
    return avecRelance(Texte(
        TRADUISIBLE("Korvalen", "Korvalen ne joint pas olad, le service d'OLA, sur le port %1 de cette machine : %2.\n"
                                "Vérifiez que le paquet ola est installé, que olad est lancé et que la clé PortOLA de la "
                                "section [Port] de Config.ini donne le port de ses clients (9010 d'ordinaire)."),
        {Texte::tel(std::to_string(port)), raisonSysteme(erreur)}));
}

Texte messagePerdu(std::uint16_t port, const char* comment) {
    return avecRelance(Texte(TRADUISIBLE("Korvalen", "La liaison avec olad (port %1) est perdue : %2.\n"
                                                     "Vérifiez que olad tourne toujours."),
                             {Texte::tel(std::to_string(port)), Texte(comment)}));
}

// olad's reason is its own English.
Texte messageRefus(std::uint32_t univers, const std::string& raison) {
    return Texte(TRADUISIBLE("Korvalen", "olad refuse les sorties de Korvalen sur l'univers %1 : %2.\n"
                                         "Dans la page web d'OLA (http://localhost:9090), reliez l'univers %1 à un "
                                         "périphérique de sortie, ou corrigez la clé Univers de la section [Port] de "
                                         "Config.ini. Les lampes suivent dès que l'univers existe."),
                 {Texte::tel(std::to_string(univers)), Texte::tel(raison)});
}

// A blocking TCP socket connected to 127.0.0.1:port, or -errno. The connection itself is given a
// bounded time, so that a filtered port cannot hold the sender thread, and is given up at once
// (-ECANCELED) when `interruption` becomes readable.
int connecterLocal(std::uint16_t port, int interruption) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -errno;
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_port = htons(port);
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int erreur = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) != 0) {
        erreur = errno;
        if (erreur == EINPROGRESS) {
            pollfd p[2] = {{fd, POLLOUT, 0}, {interruption, POLLIN, 0}};
            const int pret = ::poll(p, 2, DELAI_CONNEXION_MS);
            socklen_t taille = sizeof erreur;
            if (pret == 0) {
                erreur = ETIMEDOUT;
            } else if (pret < 0) {
                erreur = errno;
            } else if (p[1].revents != 0) {
                erreur = ECANCELED;
            } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &erreur, &taille) != 0) {
                erreur = errno;
            }
        }
    }
    // OLA's channel writes whole messages: the socket goes back to blocking mode.
    if (erreur == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) erreur = errno;
    if (erreur != 0) {
        ::close(fd);
        return -erreur;
    }
    return fd;
}

void tenirPromesse(std::promise<void>* promesse) { promesse->set_value(); }

}  // namespace

/// The sender thread: an OLA event loop that owns the connection and sends the latest outputs,
/// one frame in flight at a time.
class PortOLA::Envoi {
public:
    Envoi(std::uint32_t univers, int premierCanal, std::uint16_t port, Avertir avertir,
          std::chrono::milliseconds descente, Horloge horloge)
        : univers_(univers),
          premierCanal_(premierCanal),
          port_(port),
          avertir_(std::move(avertir)),
          horloge_(horloge ? std::move(horloge) : Horloge(&DescenteLampes::Horloge::now)),
          interruption_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
          descente_(descente),
          accuse_(ola::NewCallback(this, &Envoi::accuser)),
          minuterie_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
          descripteurMinuterie_(minuterie_),
          fil_([this] {
              if (minuterie_ >= 0) {
                  descripteurMinuterie_.SetOnData(ola::NewCallback(this, &Envoi::pasDeFondu));
                  boucle_.AddReadDescriptor(&descripteurMinuterie_);
              }
              boucle_.Run();
          }) {}

    ~Envoi() {
        // Whatever is queued, the window's thread is not held: a connection under way gives up at
        // once and the ones asked after it are skipped, each of which could wait two seconds.
        arret_ = true;
        const std::uint64_t un = 1;
        if (interruption_ >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(interruption_, &un, sizeof un);
        }
        boucle_.Execute(ola::NewSingleCallback(this, &Envoi::arreter));
        fil_.join();
        if (minuterie_ >= 0) ::close(minuterie_);
        if (interruption_ >= 0) ::close(interruption_);
    }

    // Main thread: hands over the latest outputs and wakes the loop unless a wake-up is pending.
    void poster(const ValeursLampes& valeurs) {
        bool reveiller = false;
        {
            std::lock_guard verrou(boite_);
            postees_ = valeurs;
            reveiller = !enAttente_;
            enAttente_ = true;
        }
        if (reveiller) boucle_.Execute(ola::NewSingleCallback(this, &Envoi::prendre));
    }

    void demanderConnexion() { boucle_.Execute(ola::NewSingleCallback(this, &Envoi::connecter)); }

    void attendre() {
        std::promise<void> promesse;
        boucle_.Execute(ola::NewSingleCallback(&tenirPromesse, &promesse));
        promesse.get_future().wait();
    }

private:
    // Everything below runs on the sender thread.

    void prendre() {
        ValeursLampes cibles;
        {
            std::lock_guard verrou(boite_);
            cibles = postees_;
            enAttente_ = false;
        }
        const auto maintenant = horloge_();
        descente_.viser(cibles, maintenant);
        aEnvoyer_ = true;
        envoyer(maintenant);
        suivreFondu(maintenant);
    }

    // While a lamp fades, the frames follow one another at a steady pace from this thread. A
    // kernel timer wakes the loop: the loop's own timeouts count in whole milliseconds and spin
    // through the last one, which at 50 frames a second costs a twentieth of a core.
    void suivreFondu(DescenteLampes::Horloge::time_point maintenant) {
        if (enFondu_ || minuterie_ < 0 || !descente_.enCours(maintenant)) return;
        enFondu_ = armer(PERIODE_FONDU_NS);
    }

    bool armer(long periodeNs) {
        itimerspec t{};
        t.it_interval.tv_nsec = periodeNs;
        t.it_value.tv_nsec = periodeNs;
        return ::timerfd_settime(minuterie_, 0, &t, nullptr) == 0;
    }

    void pasDeFondu() {
        std::uint64_t echeances = 0;
        if (::read(minuterie_, &echeances, sizeof echeances) < 0) return;  // nothing due yet
        // One reading decides both the frame and the end: the timer stops only once the frame it
        // asked for shows the targets (a frame still in flight is followed by one read later).
        const auto maintenant = horloge_();
        aEnvoyer_ = true;
        envoyer(maintenant);
        // By the clock, not by the frames sent: with olad away the fade ends all the same.
        if (descente_.enCours(maintenant)) return;
        armer(0);  // disarmed until the next fade
        enFondu_ = false;
    }

    void connecter() {
        if (arret_ || (client_ && !perdu_)) return;
        deconnecter();
        const int fd = connecterLocal(port_, interruption_);
        if (fd < 0) {
            if (!arret_) avertirUneFois(messageInjoignable(port_, -fd));
            return;
        }
        socket_ = std::make_unique<ola::network::TCPSocket>(fd);
        socket_->SetNoDelay();
        client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
        boucle_.AddReadDescriptor(socket_.get());
        client_->Setup();
        client_->SetCloseHandler(ola::NewSingleCallback(this, &Envoi::fermee));
        perdu_ = false;
        averti_ = false;  // a later failure is news again
        aEnvoyer_ = true;  // the lamps take the current outputs at once
        envoyer(horloge_());
    }

    // Sends what the lamps show at `maintenant`, unless a frame is in flight or nothing is owed.
    void envoyer(DescenteLampes::Horloge::time_point maintenant) {
        if (!client_ || perdu_ || enVol_ || !aEnvoyer_) return;
        const TrameDmx trame = trameDmx(descente_.valeurs(maintenant), premierCanal_);
        const ola::DmxBuffer tampon(trame.data(), static_cast<unsigned>(trame.size()));
        aEnvoyer_ = false;
        enVol_ = true;
        delai_ = boucle_.RegisterSingleTimeout(DELAI_ACCUSE_MS, ola::NewSingleCallback(this, &Envoi::sansReponse));
        client_->SendDMX(univers_, tampon, ola::client::SendDMXArgs(accuse_.get()));
    }

    void accuser(const ola::client::Result& resultat) {
        annulerDelai();
        enVol_ = false;
        if (perdu_) return;  // a failed write has already closed the channel and told the operator
        if (!resultat.Success()) avertirUneFois(messageRefus(univers_, resultat.Error()));
        if (aEnvoyer_) envoyer(horloge_());
    }

    void fermee() { perdre(TRADUISIBLE("Korvalen", "olad s'est arrêté ou a fermé la liaison")); }
    void sansReponse() {
        delai_ = ola::thread::INVALID_TIMEOUT;
        perdre(TRADUISIBLE("Korvalen", "olad ne répond plus"));
    }

    void perdre(const char* comment) {
        if (perdu_) return;
        perdu_ = true;
        enVol_ = false;
        avertirUneFois(messagePerdu(port_, comment));
        // Not here: this may run inside the client's own call stack.
        boucle_.Execute(ola::NewSingleCallback(this, &Envoi::deconnecterSiPerdu));
    }

    void deconnecterSiPerdu() {
        if (perdu_) deconnecter();
    }

    void deconnecter() {
        annulerDelai();
        enVol_ = false;
        if (socket_ && socket_->ValidReadDescriptor()) boucle_.RemoveReadDescriptor(socket_.get());
        client_.reset();
        socket_.reset();
    }

    void annulerDelai() {
        if (delai_ == ola::thread::INVALID_TIMEOUT) return;
        boucle_.RemoveTimeout(delai_);
        delai_ = ola::thread::INVALID_TIMEOUT;
    }

    void arreter() {
        if (minuterie_ >= 0) boucle_.RemoveReadDescriptor(&descripteurMinuterie_);
        deconnecter();
        boucle_.Terminate();
    }

    void avertirUneFois(const Texte& texte) {
        if (averti_) return;
        averti_ = true;
        if (avertir_) avertir_(texte);
    }

    const std::uint32_t univers_;
    const int premierCanal_;
    const std::uint16_t port_;
    const Avertir avertir_;
    const Horloge horloge_;
    std::atomic<bool> arret_{false};  // set by the destruction, read on the sender thread
    const int interruption_;          // an eventfd made readable by the destruction

    std::mutex boite_;  // the mailbox between the main thread and the sender thread
    ValeursLampes postees_{};
    bool enAttente_ = false;

    DescenteLampes descente_;  // what the lamps should show, fades included
    bool enFondu_ = false;     // the frame timer runs
    bool aEnvoyer_ = false;
    bool enVol_ = false;
    bool perdu_ = false;
    bool averti_ = false;
    ola::thread::timeout_id delai_ = ola::thread::INVALID_TIMEOUT;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    const std::unique_ptr<ola::client::GeneralSetCallback> accuse_;
    const int minuterie_;  // the frame timer of the fades (a timerfd)
    ola::io::UnmanagedFileDescriptor descripteurMinuterie_;

    ola::io::SelectServer boucle_;
    std::thread fil_;  // last: starts once everything above exists
};

PortOLA::PortOLA(std::uint32_t univers, int premierCanal, std::uint16_t portOLA, Avertir avertir,
                 IntensitesOLA intensites, Horloge horloge)
    : intensites_(intensites),
      envoi_(std::make_unique<Envoi>(univers, premierCanal, portOLA, std::move(avertir), intensites.descente,
                                     std::move(horloge))) {
    valeurs_.fill(255);
}

PortOLA::~PortOLA() = default;

void PortOLA::write(std::uint32_t address, std::uint8_t value) {
    const bool change = verrous_.ecrire(address, value);
    // Lamps that only light and go dark follow each latch at once, as they always have.
    if (change && intensites_ == IntensitesOLA{}) {
        postees_ = valeursAllumees(verrous_.groupeA(), verrous_.groupeB(), valeurs_);
        envoi_->poster(postees_);
    }
}

void PortOLA::niveaux(const ValeursLampes& valeurs) {
    if (intensites_.niveaux) valeurs_ = valeurs;
}

void PortOLA::finSequence() {
    if (intensites_ == IntensitesOLA{}) return;
    // A whole sequence makes one frame: the latches say what is lit, the levels how bright.
    const ValeursLampes allumees = valeursAllumees(verrous_.groupeA(), verrous_.groupeB(), valeurs_);
    if (allumees == postees_) return;
    postees_ = allumees;
    envoi_->poster(postees_);
}

void PortOLA::reconnecter() { envoi_->demanderConnexion(); }

void PortOLA::synchroniser() { envoi_->attendre(); }

}  // namespace korvalen
