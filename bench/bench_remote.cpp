// What a stranger or a flood can cost on the remote control's paths, on the real main window over a
// capture stand-in that takes 10 ms per capture like a sound card, the real OSC server on the loopback:
//   bench_remote inconnus  the refresh period while 2,000 unknown mode names a second arrive, with
//                          1,500 mode files in the save folder;
//   bench_remote forge     with Ecoute=reseau and one listed Retour address, what 17 senders of
//                          forged packets (500 a second in all) get back while the lamps change
//                          every 20 ms, and what the listed address gets;
//   bench_remote lecture   the time to read (or refuse) a 64 KiB packet of 65,000 arguments, against
//                          liblo's reading of the whole of it;
//   bench_remote presse P osc|midi  the time from a press of Slow, sent on another thread by OSC
//                          or MIDI, to the port write that shows it, at refresh period P;
//   bench_remote pad       the time from a pad's note (handed over on another thread, as the MIDI
//                          library does) to the live button's change and to the next port write.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <arpa/inet.h>
#include <lo/lo.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CaptureDixMs.h"
#include "doubles/MessageOsc.h"
#include "doubles/DoublesPrincipale.h"
#include "doubles/MidiEnregistre.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "run/Minuterie.h"
#include "modes/FichierModes.h"
#include "remote/OscLiblo.h"
#include "remote/Telecommande.h"
#include "ui/Controles.h"

namespace {

using namespace korvalen;
using bench::CaptureDixMs;
using Horloge = std::chrono::steady_clock;

// A port that notes when it was last written to, for the pad's latency.
class PortHorodate : public IPort {
public:
    void write(std::uint32_t, std::uint8_t) override {
        derniere = Horloge::now();
        ++ecritures;
        if (marque && !premiere) premiere = derniere;
    }
    void reconnecter() override {}
    /// From now on, the moment of the first write.
    void marquer() {
        marque = true;
        premiere.reset();
    }
    Horloge::time_point derniere{};
    long ecritures = 0;
    bool marque = false;
    std::optional<Horloge::time_point> premiere;
};

struct Stats {
    double moyenne, mediane, p95, max;
    std::size_t n;
};

Stats stats(std::vector<double> p) {
    if (p.empty()) return {0, 0, 0, 0, 0};
    std::sort(p.begin(), p.end());
    const double somme = std::accumulate(p.begin(), p.end(), 0.0);
    return {somme / static_cast<double>(p.size()), p[p.size() / 2], p[p.size() * 95 / 100], p.back(), p.size()};
}

void imprimer(const char* nom, const Stats& s, const char* unite = "ms") {
    std::printf("%-30s %5zu  mean %7.3f %s  median %7.3f  p95 %7.3f  max %7.3f\n", nom, s.n, s.moyenne, unite,
                s.mediane, s.p95, s.max);
}

std::uint16_t portLibre() {
    lo_server ephemere = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
    const int port = lo_server_get_port(ephemere);
    lo_server_free(ephemere);
    return static_cast<std::uint16_t>(port);
}

// A UDP socket on the loopback that counts what reaches it.
struct Ecouteur {
    Ecouteur() {
        fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
        port = ntohs(a.sin_port);
    }
    ~Ecouteur() { close(fd); }
    void relever() {
        char tampon[2048];
        for (ssize_t n; (n = recv(fd, tampon, sizeof tampon, 0)) >= 0;) {
            ++paquets;
            octets += n;
        }
    }
    int fd = -1;
    std::uint16_t port = 0;
    long paquets = 0, octets = 0;
};

struct Banc {
    explicit Banc(int fichiers, IPort* port = nullptr, int periode = 20) {
        QFile ini(QDir(dossier.path()).filePath("Config.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(QByteArray("[Options]\r\nTemps_timer=") + QByteArray::number(periode) + "\r\n");
        ini.close();
        for (int i = 0; i < fichiers; ++i) {
            QFile f(QDir(dossier.path()).filePath(QString::asprintf("mode%04d.lum", i)));
            f.open(QIODevice::WriteOnly);
        }
        marche = std::make_unique<Marche>(d.v, d.cartes, capture, port ? *port : d.port, d.messages,
                                          Emplacements::ensemble(dossier.path().toStdString()));
        fenetre = std::make_unique<FPrincipale>(*marche, d.messages);
        if (!fenetre->Form_Load()) std::exit(1);
        telecommande = std::make_unique<Telecommande>(*marche, d.messages);
        QObject::connect(marche.get(), &Marche::sortiesChangees, telecommande.get(), &Telecommande::sortiesChangees);
        QObject::connect(marche.get(), &Marche::boutonDirectChange, telecommande.get(),
                         &Telecommande::boutonDirectChange);
        QObject::connect(marche->findChild<Minuterie*>("Timer1"), &Minuterie::tick, fenetre.get(),
                         [this] { debuts.push_back(ms()); });
    }
    double ms() const { return static_cast<double>(horloge.nsecsElapsed()) * 1e-6; }

    QTemporaryDir dossier;
    test::DoublesPrincipale d;
    CaptureDixMs capture;
    std::unique_ptr<Marche> marche;
    std::unique_ptr<FPrincipale> fenetre;
    std::unique_ptr<Telecommande> telecommande;
    QElapsedTimer horloge = [] {
        QElapsedTimer h;
        h.start();
        return h;
    }();
    std::vector<double> debuts;
};

int inconnus(QApplication& app) {
    constexpr int FICHIERS = 1500, PAR_SECONDE = 2000, DUREE_S = 3;
    Banc b(FICHIERS);
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false});
    auto* liste = b.fenetre->findChild<ListeFichiers*>("File1");
    liste->setCurrentRow(700, QItemSelectionModel::ClearAndSelect);
    b.marche->cliquerMarche();
    std::atomic<double> debut{0}, fin{0};
    std::thread expediteur;
    long envoyes = 0;
    QTimer::singleShot(3000, &app, [&] {
        expediteur = std::thread([&] {
            lo_address vers = lo_address_new("127.0.0.1", std::to_string(port).c_str());
            debut = b.ms();
            const auto t0 = Horloge::now();
            for (int i = 0; i < PAR_SECONDE * DUREE_S; ++i) {
                std::this_thread::sleep_until(t0 + std::chrono::microseconds(1'000'000 / PAR_SECONDE) * i);
                lo_send(vers, "/korvalen/mode", "s", ("absent" + std::to_string(i) + ".lum").c_str());
                ++envoyes;
            }
            fin = b.ms();
            lo_address_free(vers);
        });
    });
    QTimer::singleShot(3000 + DUREE_S * 1000 + 3000, &app, [] { QCoreApplication::quit(); });
    app.exec();
    expediteur.join();
    b.marche->cliquerMarche();
    std::vector<double> avant, pendant, apres;
    for (std::size_t i = 1; i < b.debuts.size(); ++i) {
        const double p = b.debuts[i] - b.debuts[i - 1];
        (b.debuts[i] < debut ? avant : b.debuts[i - 1] <= fin ? pendant : apres).push_back(p);
    }
    std::printf("refresh period 20 ms, capture 10.07 ms, %d mode files; %ld unknown names sent at %d/s in %.0f ms\n",
                FICHIERS, envoyes, PAR_SECONDE, fin - debut);
    const Stats a = stats(avant), p = stats(pendant);
    imprimer("before", a);
    imprimer("during the names", p);
    imprimer("after", stats(apres));
    std::printf("mean period during / before: %.3f\n", p.moyenne / a.moyenne);
    std::printf("names ignored %llu, dropped by the full queue %llu; list: %d entries, selection %s\n",
                static_cast<unsigned long long>(b.telecommande->ignores()),
                static_cast<unsigned long long>(b.telecommande->perdues()), liste->count(),
                qPrintable(liste->fichierSelectionne()));
    return 0;
}

int forge(QApplication& app) {
    constexpr int EXPEDITEURS = 17, PAR_SECONDE = 500, DUREE_S = 3;
    Banc b(2);
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    Ecouteur tablette;
    b.telecommande->brancherOsc(osc, {port, true, "127.0.0.1:" + std::to_string(tablette.port)});
    std::vector<std::unique_ptr<Ecouteur>> faux;
    for (int i = 0; i < EXPEDITEURS; ++i) faux.push_back(std::make_unique<Ecouteur>());
    // The lamps change every 20 ms, as a run does.
    QTimer lampes;
    bool allume = false;
    QObject::connect(&lampes, &QTimer::timeout, &app, [&] {
        allume = !allume;
        b.d.v.enMarche = VRAI;
        b.d.v.etatA0 = allume ? VRAI : FAUX;
        b.marche->afficherSorties();
    });
    lampes.start(20);
    tablette.relever();
    const long avantTablette = tablette.paquets;
    // What each forged sender sends: a valid message that changes nothing (a button release).
    const std::string message = test::messageOsc("/korvalen/bouton/5", 1, 0);
    long envoyes = 0;
    std::thread expediteur([&] {
        sockaddr_in vers{};
        vers.sin_family = AF_INET;
        vers.sin_port = htons(port);
        vers.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const auto t0 = Horloge::now();
        for (int i = 0; i < PAR_SECONDE * DUREE_S; ++i) {
            std::this_thread::sleep_until(t0 + std::chrono::microseconds(1'000'000 / PAR_SECONDE) * i);
            sendto(faux[static_cast<std::size_t>(i % EXPEDITEURS)]->fd, message.data(), message.size(), 0,
                   reinterpret_cast<const sockaddr*>(&vers), sizeof vers);
            ++envoyes;
        }
    });
    QTimer::singleShot(DUREE_S * 1000 + 500, &app, [] { QCoreApplication::quit(); });
    app.exec();
    expediteur.join();
    long recusFaux = 0, octetsFaux = 0;
    for (auto& f : faux) {
        f->relever();
        recusFaux += f->paquets;
        octetsFaux += f->octets;
    }
    tablette.relever();
    std::printf("Ecoute=reseau, Retour=one address; %d forged senders, %ld packets of %zu bytes in %d s; lamps "
                "changing every 20 ms\n",
                EXPEDITEURS, envoyes, message.size(), DUREE_S);
    std::printf("packets back to the forged senders: %ld (%ld bytes): %.3f per forged packet\n", recusFaux, octetsFaux,
                static_cast<double>(recusFaux) / static_cast<double>(envoyes));
    std::printf("packets to the listed address: %ld in %.1f s (%.1f a second; at most 60)\n",
                tablette.paquets - avantTablette, DUREE_S + 0.5, (tablette.paquets - avantTablette) / (DUREE_S + 0.5));
    return 0;
}

int lecture() {
    // "/korvalen/bouton/1" then ",NNN...": 65,000 arguments without bytes of their own (nil).
    std::string paquet("/korvalen/bouton/1\0\0", 20);
    paquet += ',';
    paquet += std::string(65000, 'N');
    paquet.resize((paquet.size() / 4 + 1) * 4, '\0');
    constexpr int FOIS = 50;
    const auto mesurer = [&](auto&& lire) {
        std::vector<double> us;
        for (int i = 0; i < FOIS; ++i) {
            const auto t0 = Horloge::now();
            lire();
            us.push_back(std::chrono::duration<double, std::micro>(Horloge::now() - t0).count());
        }
        return stats(us);
    };
    long lus = 0;
    const Stats nous = mesurer([&] {
        lirePaquetOsc(paquet.data(), paquet.size(), [&](const std::optional<MessageOsc>& m) { lus += m ? 1 : 0; });
    });
    const Stats liblo = mesurer([&] {
        int erreur = 0;
        lo_message m = lo_message_deserialise(paquet.data(), paquet.size(), &erreur);
        lus += m != nullptr;
        if (m) lo_message_free(m);
    });
    std::printf("a packet of %zu bytes, 65,000 arguments, %d reads each (%ld accepted by liblo)\n", paquet.size(), FOIS, lus);
    imprimer("refused on sight", nous, "us");
    imprimer("liblo reading all of it", liblo, "us");
    return 0;
}

int pad(QApplication& app) {
    constexpr int NOTES = 200;
    PortHorodate port;
    Banc b(2, &port);
    test::MidiEnregistre midi;
    ReglagesMidi r;
    r.actif = true;
    b.telecommande->brancherMidi(midi, r);
    b.marche->cliquerMarche();
    std::vector<double> versBouton, versPort;
    Horloge::time_point envoi{}, bouton{};
    long ecrituresAuBouton = 0;
    bool attendPort = false;
    QObject::connect(b.marche.get(), &Marche::boutonDirectChange, &app, [&](int, bool) {
        bouton = Horloge::now();
        ecrituresAuBouton = port.ecritures;
        attendPort = true;
        versBouton.push_back(std::chrono::duration<double, std::milli>(bouton - envoi).count());
    });
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, &app, [&] {
        if (attendPort && port.ecritures > ecrituresAuBouton) {
            attendPort = false;
            versPort.push_back(std::chrono::duration<double, std::milli>(port.derniere - envoi).count());
        }
    });
    sonde.start(0);
    int envoyees = 0;
    QTimer notes;
    // 37 ms apart: every phase against the 20 ms refresh tick.
    QObject::connect(&notes, &QTimer::timeout, &app, [&] {
        if (envoyees == NOTES) {
            notes.stop();
            QCoreApplication::quit();
            return;
        }
        ++envoyees;
        std::thread([&] {
            envoi = Horloge::now();
            midi.jouer({{0x90, 36, 100}});
        }).join();
    });
    QTimer::singleShot(1000, &app, [&] { notes.start(37); });
    app.exec();
    b.marche->cliquerMarche();
    std::printf("%d notes 37 ms apart, refresh period 20 ms; MIDI queue looked into by a watcher thread every %d ms while played, "
                "every %d ms at rest\n",
                NOTES, Telecommande::SONDAGE_MIDI_MS, Telecommande::SONDAGE_MIDI_REPOS_MS);
    imprimer("note -> live button", stats(versBouton));
    imprimer("note -> next port write", stats(versPort));

    // What looking into the queue costs while nothing happens: the process's processor time over
    // 3 s stopped, with the MIDI ports open and then closed.
    const auto cpu = [&app] {
        QTimer::singleShot(3000, &app, [] { QCoreApplication::quit(); });
        timespec a{}, b{}, murA{}, murB{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        clock_gettime(CLOCK_MONOTONIC, &murA);
        app.exec();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        clock_gettime(CLOCK_MONOTONIC, &murB);
        const auto s = [](timespec x, timespec y) {
            return static_cast<double>(y.tv_sec - x.tv_sec) + static_cast<double>(y.tv_nsec - x.tv_nsec) * 1e-9;
        };
        return s(a, b) / s(murA, murB) * 100.0;
    };
    sonde.stop();
    const auto attendre = [&app](std::chrono::milliseconds duree) {
        QTimer::singleShot(duree, Qt::PreciseTimer, &app, [] { QCoreApplication::quit(); });
        app.exec();
    };
    const double joue = cpu();  // within PAD_ACTIF of the last note: looked into every millisecond
    attendre(std::chrono::milliseconds(Telecommande::PAD_ACTIF));
    const double ouvert = cpu();
    std::vector<double> premiere;  // the first note after a rest
    for (int i = 0; i < 6; ++i) {
        // At another phase of the slower look each time.
        for (const auto fin = Horloge::now() + std::chrono::microseconds(830 * i); Horloge::now() < fin;) {
            QCoreApplication::processEvents();
        }
        const auto avant = versBouton.size();
        std::thread([&] {
            envoi = Horloge::now();
            midi.jouer({{0x90, 36, 100}});
        }).join();
        while (versBouton.size() == avant) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        premiere.push_back(versBouton.back());
        // Back to rest before the next one.
        attendre(std::chrono::milliseconds(Telecommande::PAD_ACTIF) + std::chrono::milliseconds(100));
    }
    imprimer("first note after a rest -> button", stats(premiere));
    b.telecommande->appliquer(ReglagesMidi{}, ReglagesOsc{});
    const double ferme = cpu();
    std::printf("stopped, share of one core: %.2f %% with the pad just played, %.2f %% with it at rest, %.2f %% "
                "with the MIDI ports closed\n",
                joue, ouvert, ferme);
    return 0;
}

}  // namespace

// From a press sent on another thread (a MIDI note as the library hands it over, or an OSC packet
// on the loopback to the real server) to the port write that shows it, during a run at `periode`.
int presse(QApplication& app, int periode, bool parOsc) {
    constexpr int PRESSES = 200;
    PortHorodate port;
    Banc b(2, &port, periode);
    test::MidiEnregistre midi;
    OscLiblo osc;
    const std::uint16_t portOsc = portLibre();
    if (parOsc) {
        b.telecommande->brancherOsc(osc, {portOsc, false});
    } else {
        ReglagesMidi r;
        r.actif = true;
        b.telecommande->brancherMidi(midi, r);
    }
    b.marche->cliquerMarche();
    // The press's step writes within the call that changes the button: its first write is the press's.
    QObject::connect(b.marche.get(), &Marche::boutonDirectChange, &app, [&](int, bool) { port.marquer(); });
    const int sock = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in vers{};
    vers.sin_family = AF_INET;
    vers.sin_port = htons(portOsc);
    vers.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string bas = test::messageOsc("/korvalen/bouton/2", 1, 1),
                      haut = test::messageOsc("/korvalen/bouton/2", 1, 0);
    std::vector<double> versPort;
    Horloge::time_point envoi{};
    int envoyees = 0;
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, &app, [&] {
        if (port.marque && port.premiere) {
            port.marque = false;
            versPort.push_back(std::chrono::duration<double, std::milli>(*port.premiere - envoi).count());
        }
    });
    sonde.start(1);
    QTimer presses;
    // 37 ms apart: every phase against the refresh tick. Slow down, then up.
    QObject::connect(&presses, &QTimer::timeout, &app, [&] {
        if (envoyees == PRESSES) {
            presses.stop();
            QTimer::singleShot(100, &app, [] { QCoreApplication::quit(); });
            return;
        }
        const bool enBas = envoyees % 2 == 0;
        ++envoyees;
        std::thread([&, enBas] {
            envoi = Horloge::now();
            if (parOsc) {
                const std::string& p = enBas ? bas : haut;
                sendto(sock, p.data(), p.size(), 0, reinterpret_cast<const sockaddr*>(&vers), sizeof vers);
            } else {
                midi.jouer({{0x90, 37, 100}});
            }
        }).join();
    });
    QTimer::singleShot(1000, &app, [&] { presses.start(37); });
    app.exec();
    close(sock);
    b.marche->cliquerMarche();
    std::printf("%d presses of Slow 37 ms apart by %s, refresh period %d ms\n", PRESSES, parOsc ? "OSC" : "MIDI", periode);
    imprimer("press -> its port write", stats(versPort));
    return 0;
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string quoi = argc > 1 ? argv[1] : "";
    if (quoi == "inconnus") return inconnus(app);
    if (quoi == "forge") return forge(app);
    if (quoi == "pad") return pad(app);
    if (quoi == "lecture") return lecture();
    if (quoi == "presse" && argc > 3) return presse(app, std::atoi(argv[2]), std::string(argv[3]) == "osc");
    std::fprintf(stderr, "usage: bench_remote inconnus|forge|lecture|pad|presse PERIOD osc|midi\n");
    return 2;
}
