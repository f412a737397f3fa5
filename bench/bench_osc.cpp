// The refresh tick's period while an OSC surface floods the program: the real main window over a
// capture stand-in that takes 10 ms per capture like a sound card, the real OSC server on the
// loopback, and a sender that fires 10,000 messages as fast as the loopback takes them. Prints
// the tick periods before, during and after the burst, and what became of the messages.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <lo/lo.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <atomic>
#include <cstdio>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "CaptureDixMs.h"
#include "doubles/DoublesPrincipale.h"
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

constexpr int MESSAGES = 10000;

struct Stats {
    double moyenne, mediane, p95, max;
    std::size_t n;
};

Stats stats(std::vector<double> p) {
    std::sort(p.begin(), p.end());
    const double somme = std::accumulate(p.begin(), p.end(), 0.0);
    return {somme / static_cast<double>(p.size()), p[p.size() / 2], p[p.size() * 95 / 100], p.back(), p.size()};
}

void imprimer(const char* nom, const Stats& s) {
    std::printf("%-28s %4zu ticks  mean %6.2f ms  median %6.2f  p95 %6.2f  max %6.2f\n", nom, s.n, s.moyenne,
                s.mediane, s.p95, s.max);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The refresh period in ms: the first argument, 20 by default.
    const int PERIODE_MS = argc > 1 ? std::atoi(argv[1]) : 20;
    // "mode": the burst switches between two mode files, each message a file read; else it presses "Bouton 4".
    const bool modes = argc > 2 && std::string(argv[2]) == "mode";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dossier;
    {
        QFile ini(QDir(dossier.path()).filePath("Config.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[Options]\r\nTemps_timer=%1\r\n").arg(PERIODE_MS).toUtf8());
    }
    for (const char* nom : {"a.lum", "b.lum"}) {
        Variables m;
        m.repertoire = dossier.path().toStdString();
        m.fichierLUM = nom;
        if (SauverModes(m)) return 1;
    }
    test::DoublesPrincipale d;
    CaptureDixMs capture;
    Marche marche(d.v, d.cartes, capture, d.port, d.messages, Emplacements::ensemble(dossier.path().toStdString()));
    FPrincipale fenetre(marche, d.messages);
    if (!fenetre.Form_Load()) return 1;
    Telecommande telecommande(marche, d.messages);
    QObject::connect(&marche, &Marche::sortiesChangees, &telecommande, &Telecommande::sortiesChangees);
    long appliques = 0;
    QObject::connect(&marche, &Marche::boutonDirectChange, &fenetre, [&](int k, bool) { appliques += k == 3; });
    QObject::connect(&marche, &Marche::modeCharge, &fenetre, [&] { ++appliques; });

    OscLiblo osc;
    lo_server ephemere = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
    const int portSonde = lo_server_get_port(ephemere);
    lo_server_free(ephemere);
    telecommande.brancherOsc(osc, {static_cast<std::uint16_t>(portSonde), false});
    if (!d.messages.boxes.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(d.messages.boxes[0].texte));
        return 1;
    }

    QElapsedTimer horloge;
    horloge.start();
    std::vector<double> debuts;  // ms since start, one per refresh tick
    QObject::connect(marche.findChild<Minuterie*>("Timer1"), &Minuterie::tick, &fenetre,
                     [&] { debuts.push_back(static_cast<double>(horloge.nsecsElapsed()) * 1e-6); });
    marche.cliquerMarche();

    // 3 s quiet, then the burst from another thread, then 3 s more.
    std::atomic<double> debutRafale{0}, finRafale{0};
    std::thread expediteur;
    QTimer::singleShot(3000, &app, [&] {
        expediteur = std::thread([&, port = std::to_string(portSonde)] {
            lo_address vers = lo_address_new("127.0.0.1", port.c_str());
            debutRafale = static_cast<double>(horloge.nsecsElapsed()) * 1e-6;
            for (int i = 0; i < MESSAGES; ++i) {
                if (modes) {
                    lo_send(vers, "/korvalen/mode", "s", i % 2 == 0 ? "a.lum" : "b.lum");
                } else {
                    lo_send(vers, "/korvalen/bouton/4", "i", i % 2 == 0 ? 1 : 0);
                }
            }
            finRafale = static_cast<double>(horloge.nsecsElapsed()) * 1e-6;
            lo_address_free(vers);
        });
    });
    QTimer::singleShot(6000, &app, [&] { QCoreApplication::quit(); });
    app.exec();
    expediteur.join();
    marche.cliquerMarche();

    std::vector<double> avant, pendant, apres;
    // A tick whose period overlaps the burst, or begins within two periods of its end, counts as "during".
    for (std::size_t i = 1; i < debuts.size(); ++i) {
        const double periode = debuts[i] - debuts[i - 1];
        if (debuts[i] < debutRafale) {
            avant.push_back(periode);
        } else if (debuts[i - 1] <= finRafale + 2 * PERIODE_MS) {
            pendant.push_back(periode);
        } else {
            apres.push_back(periode);
        }
    }
    std::printf("refresh period %d ms, capture 10.07 ms; burst of %d OSC messages (%s) in %.1f ms\n", PERIODE_MS,
                MESSAGES, modes ? "mode changes" : "button presses", finRafale - debutRafale);
    const Stats a = stats(avant), p = stats(pendant), b = stats(apres);
    imprimer("before the burst", a);
    imprimer("during the burst (+2 ticks)", p);
    imprimer("after the burst", b);
    std::printf("mean period during / before: %.3f (max %.3f)\n", p.moyenne / a.moyenne, p.max / a.mediane);
    std::printf("messages: %ld applied, %llu dropped by the full queue, %llu ignored, the rest lost by the "
                "socket's buffer\n",
                appliques, static_cast<unsigned long long>(telecommande.perdues()),
                static_cast<unsigned long long>(telecommande.ignores()));
    return 0;
}
