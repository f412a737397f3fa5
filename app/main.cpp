// Entry point: builds the one program-wide state, the real drivers and the main window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <thread>

#include "app/EditeurModes.h"
#include "config/Configuration.h"
#include "config/fileINI.h"
#include "engine/PortParallele.h"
#include "audio/PortAudioCapture.h"
#include "app/FenetresConfiguration.h"
#include "config/Lecteurs.h"
#include "engine/Variables.h"
#include "mainwindow/FPrincipale.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"

int main(int argc, char* argv[]) {
    // First, while the process has one thread: the session sets the sound server's latency in
    // the environment. It outlives the device list and the capture.
    korvalen::PortAudioSession session;
    QApplication app(argc, argv);

    // Standard buttons in French ("Oui", "Non") from Qt's own translation.
    QTranslator traduction;
    if (traduction.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduction);
    }

    const QString dossierProgramme = QCoreApplication::applicationDirPath();
    korvalen::Variables variables;
    korvalen::MessagesQt messages;

    korvalen::PortAudioDeviceEnumerator cartes(session);
    korvalen::PortAudioInput entree(session);

    korvalen::PortParallele port(korvalen::LireINI("Port", "Peripherique", korvalen::PERIPHERIQUE_PAR_DEFAUT,
                                                   korvalen::cheminConfig(dossierProgramme.toStdString())));

    korvalen::FPrincipale fenetre(variables, cartes, entree, port, messages, dossierProgramme);
    messages.setParent(&fenetre);
    korvalen::FileDialogsQt dialogues(&fenetre);
    // Yes ends the program at once: no window is asked to close again.
    QObject::connect(&fenetre, &korvalen::FPrincipale::quitter, &app, [] { QCoreApplication::exit(0); });

    // Before the start-up, whose list refresh creates the editor; after the main window, so the
    // editor goes first at the end of the run.
    korvalen::EditeurModes editeurModes(variables, fenetre, messages, dialogues);
    korvalen::FenetresConfiguration reglages(variables, fenetre, messages, korvalen::lecteursDuSysteme);
    QObject::connect(&fenetre, &korvalen::FPrincipale::fenetreDemandee, &reglages,
                     &korvalen::FenetresConfiguration::ouvrir);
    if (!fenetre.Form_Load()) return 0;
    fenetre.show();

    // Most machines have no parallel port: say so once, without holding up the window, and drive the
    // on-screen outputs only. The claim may wait for another program, so it runs beside the window.
    std::thread ouverturePort([&port, &fenetre, &messages] {
        if (const auto erreur = port.ouvrir()) {
            QMetaObject::invokeMethod(
                &fenetre,
                [&messages, texte = QString::fromStdString(*erreur)] {
                    messages.signaler(texte, QStringLiteral("Port parallèle"));
                },
                Qt::QueuedConnection);
        }
    });
    const int code = app.exec();
    ouverturePort.join();
    return code;
}
