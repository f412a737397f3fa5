// Entry point: builds the one program-wide state, the real drivers and the main window.
#include <QApplication>
#include <QPointer>
#include <QTextStream>
#include <chrono>
#include <memory>
#include <optional>

#include "app/EditeurModes.h"
#include "app/Emplacements.h"
#include "app/PortCommutable.h"
#include "app/LigneDeCommande.h"
#include "config/Configuration.h"
#include "config/fileINI.h"
#include "engine/PortOLA.h"
#include "engine/PortParallele.h"
#include "audio/PortAudioCapture.h"
#include "audio/SilenceBibliotheques.h"
#include "app/FenetresConfiguration.h"
#include "settings/Lecteurs.h"
#include "engine/Variables.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "remote/MidiRtMidi.h"
#include "settings/FenetreTelecommande.h"
#include "remote/OscLiblo.h"
#include "remote/Telecommande.h"
#include "ui/FileDialogs.h"
#include "ui/Controles.h"
#include "ui/Messages.h"
#include "ui/WindowBuilder.h"
#include "translations/Langue.h"
#include "translations/TexteQt.h"

int main(int argc, char* argv[]) {
    // The desktop's language if Korvalen speaks it, French otherwise; --help speaks it too.
    korvalen::Traductions traductions(korvalen::langueDuBureau());
    // --help and --version answer before anything needs a display or the sound system.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        QTextStream sortie(stdout);
        QTextStream erreurs(stderr);
        if (const std::optional<int> fin = korvalen::traiterLigneDeCommande(arguments, sortie, erreurs, traductions))
            return *fin;
    }
    korvalen::silencerBibliothequesSon();
    // First, while the process has one thread: the session sets the sound server's latency in
    // the environment. It outlives the device list and the capture.
    korvalen::PortAudioSession session;
    QApplication app(argc, argv);
    korvalen::installerAccessibiliteBarres();

    // Every window in that language, Qt's standard buttons ("Oui", "Yes") included.
    traductions.installer();

    const korvalen::Emplacements emplacements = korvalen::choisirEmplacements(
        QCoreApplication::applicationDirPath(), QStringLiteral(KORVALEN_ENTREE_MENU));
    korvalen::Variables variables;
    korvalen::MessagesQt messages;

    // A notice from another thread, shown on the event thread without holding anything up, in the
    // language of the windows.
    const auto signalerDepuisUnFil = [&app, &messages](const korvalen::Texte& texte, const char* titre) {
        QMetaObject::invokeMethod(
            &app,
            [&messages, texte, titre] {
                messages.signaler(korvalen::traduire(texte), QCoreApplication::translate(korvalen::CONTEXTE_TEXTES, titre));
            },
            Qt::QueuedConnection);
    };

    korvalen::PortAudioDeviceEnumerator cartes(
        session, [&](const korvalen::Texte& texte) {
            signalerDepuisUnFil(texte, QT_TRANSLATE_NOOP("Korvalen", "Carte son"));
        });
    korvalen::PortAudioInput entree(session);

    // The lamps hang on the parallel port, or on whatever olad reaches when [Port] says "Sortie=ola";
    // "Sortie des lampes" reopens them elsewhere during the run.
    const std::string fichierINI = korvalen::cheminConfig(emplacements.dossierConfig);
    korvalen::PortCommutable port([&](const korvalen::ReglagesPort& r) -> std::unique_ptr<korvalen::IPort> {
        if (r.sortie == korvalen::ReglagesPort::Sortie::Ola) {
            auto ola = std::make_unique<korvalen::PortOLA>(
                r.univers, r.canal, r.portOLA,
                [&](const korvalen::Texte& texte) {
                    signalerDepuisUnFil(texte, QT_TRANSLATE_NOOP("Korvalen", "Sortie OLA"));
                },
                korvalen::IntensitesOLA{r.niveaux, std::chrono::milliseconds(r.descente)});
            ola->reconnecter();
            return ola;
        }
        // Most machines have no parallel port: say so once, without holding up the window, and drive
        // the on-screen outputs only. The claim may wait for another program: the port's own thread does it.
        auto parallele = std::make_unique<korvalen::PortParallele>(r.peripherique);
        parallele->ouvrirEnFond(
            [&](const korvalen::Texte& erreur) {
                signalerDepuisUnFil(erreur, QT_TRANSLATE_NOOP("Korvalen", "Port parallèle"));
            });
        return parallele;
    });

    // The run, and the main window that shows it.
    korvalen::Marche marche(variables, cartes, entree, port, messages, emplacements);
    korvalen::FPrincipale fenetre(marche, messages);
    messages.setParent(&fenetre);
    korvalen::FileDialogsQt dialogues(&fenetre);
    // Yes ends the program at once: no window is asked to close again.
    QObject::connect(&fenetre, &korvalen::FPrincipale::quitter, &app, [] { QCoreApplication::exit(0); });

    // Before the start-up, whose list refresh creates the editor; after the main window, so the
    // editor goes first at the end of the run.
    korvalen::EditeurModes editeurModes(variables, fenetre, messages, dialogues);
    korvalen::FenetresConfiguration reglages(variables, marche, messages, korvalen::lecteursDuSysteme);
    QObject::connect(&fenetre, &korvalen::FPrincipale::fenetreDemandee, &reglages,
                     &korvalen::FenetresConfiguration::ouvrir);
    QObject::connect(&marche, &korvalen::Marche::listesActualisees, &reglages,
                     &korvalen::FenetresConfiguration::repertoireChange);
    // The window shows before the sound system is asked; "Lancement" never holds it.
    marche.setAttenteEnFond(true);
    if (!fenetre.Form_Load()) return 0;
    fenetre.show();

    port.ouvrir(korvalen::ChargerPort(fichierINI));
    reglages.setSortieAppliquee([&port](const korvalen::ReglagesPort& r) { port.ouvrir(r); });

    // A MIDI pad and OSC surfaces, when [MIDI] and [OSC] ask for them. The drivers, whose threads
    // reach the remote control, go before it at the end of the run.
    korvalen::Telecommande telecommande(marche, messages);
    QObject::connect(&marche, &korvalen::Marche::boutonDirectChange, &telecommande,
                     &korvalen::Telecommande::boutonDirectChange);
    QObject::connect(&marche, &korvalen::Marche::sortiesChangees, &telecommande,
                     &korvalen::Telecommande::sortiesChangees);
    korvalen::MidiRtMidi midi;
    korvalen::OscLiblo osc;
    telecommande.brancherMidi(midi, korvalen::ChargerMidi(fichierINI));
    telecommande.brancherOsc(osc, korvalen::ChargerOsc(fichierINI));
    // The options window's "Télécommande…": one window at a time, gone before the remote control.
    QPointer<korvalen::FenetreTelecommande> fenetreTelecommande;
    QObject::connect(&reglages, &korvalen::FenetresConfiguration::telecommandeDemandee, &telecommande, [&] {
        if (!fenetreTelecommande) {
            fenetreTelecommande = new korvalen::FenetreTelecommande(telecommande, messages, fichierINI);
            fenetreTelecommande->show();
            korvalen::centreOnScreen(*fenetreTelecommande);
        }
        fenetreTelecommande->raise();
        fenetreTelecommande->activateWindow();
    });

    const int code = app.exec();
    delete fenetreTelecommande.data();
    return code;
}
