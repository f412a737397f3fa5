#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QElapsedTimer>
#include <QtTest>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "doubles/FakeAudio.h"
#include "doubles/Synthese.h"
#include "doubles/RecordingPort.h"
#include "ui/Controles.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "run/Minuterie.h"
#include "engine/Ecriture_Sortie.h"
#include "doubles/MessagesEnregistres.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

const QStringList SIX_BOUTONS = {"Command2", "Command4", "Command5", "Command6", "Command7", "Command8"};

// One main window over test doubles, in a program folder of its own.
struct Banc {
    explicit Banc(const QByteArray& config = {}) {
        if (!config.isNull()) ecrire("Config.ini", config);
        cartes.list = {{"Micro", true}};
    }
    void ecrire(const QString& nom, const QByteArray& contenu) {
        QFile f(dossier.filePath(nom));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenu);
    }
    FPrincipale& fenetre() {
        if (!f) {
            m = std::make_unique<Marche>(v, cartes, entree, port, messages,
                                         Emplacements::ensemble(dossier.path().toStdString()));
            f = std::make_unique<FPrincipale>(*m, messages);
        }
        return *f;
    }
    Marche& marche() { return fenetre().marche(); }
    bool charger() { return fenetre().Form_Load(); }
    template <class T = QWidget>
    T* ctl(const QString& nom) {
        return fenetre().findChild<T*>(nom);
    }
    BoutonDirect* direct(int k) { return ctl<BoutonDirect>(QString("Check2[%1]").arg(k)); }
    Minuterie* timer(const char* nom) { return marche().findChild<Minuterie*>(nom); }
    void lancer() {
        ctl<QPushButton>("Command3")->click();
    }
    // Tests that step the chaser by hand keep its real timer from ticking inside an event pass.
    void chenillardALaMain() { marche().setPeriodeChenillard(0); }

    QTemporaryDir dossier;
    Variables v;
    FakeAudioDeviceEnumerator cartes;
    FakeAudioInput entree;
    RecordingPort port;
    MessagesEnregistres messages;
    std::unique_ptr<Marche> m;
    std::unique_ptr<FPrincipale> f;
};

// A sound system that does not answer until the test lets it: the listing and the opening wait on
// a gate, off the window's thread.
struct Porte {
    void attendre() {
        std::unique_lock l(m);
        ++enAttente;
        cv.notify_all();
        cv.wait(l, [this] { return ouverte; });
    }
    void ouvrir() {
        const std::lock_guard l(m);
        ouverte = true;
        cv.notify_all();
    }
    int attentes() {
        const std::lock_guard l(m);
        return enAttente;
    }
    std::mutex m;
    std::condition_variable cv;
    bool ouverte = false;
    int enAttente = 0;
};

struct CartesMuettes : FakeAudioDeviceEnumerator {
    std::vector<AudioDeviceInfo> devices() override {
        porte.attendre();
        return FakeAudioDeviceEnumerator::devices();
    }
    Porte porte;
};

struct EntreeMuette : FakeAudioInput {
    bool open(int device) override {
        porte.attendre();
        return FakeAudioInput::open(device);
    }
    Porte porte;
};

// A main window over those, with the listing and the opening off its thread as in the program.
struct BancEnFond {
    BancEnFond() { cartes.list = {{"Micro", true}, {"Ligne", true}}; }
    ~BancEnFond() {
        // The window waits for what still runs beside it.
        cartes.porte.ouvrir();
        entree.porte.ouvrir();
    }
    FPrincipale& fenetre() {
        if (!f) {
            m = std::make_unique<Marche>(v, cartes, entree, port, messages,
                                         Emplacements::ensemble(dossier.path().toStdString()));
            m->setAttenteEnFond(true);
            f = std::make_unique<FPrincipale>(*m, messages);
        }
        return *f;
    }
    Marche& marche() { return fenetre().marche(); }
    QPushButton* boutonMarche() { return fenetre().findChild<QPushButton*>("Command3"); }
    /// True once the event loop has run a queued call: the window's thread is free.
    bool repond() {
        bool fait = false;
        QMetaObject::invokeMethod(&fenetre(), [&fait] { fait = true; }, Qt::QueuedConnection);
        return QTest::qWaitFor([&] { return fait; }, 5000);
    }

    QTemporaryDir dossier;
    Variables v;
    CartesMuettes cartes;
    EntreeMuette entree;
    RecordingPort port;
    MessagesEnregistres messages;
    std::unique_ptr<Marche> m;
    std::unique_ptr<FPrincipale> f;
};

// A run and its main window over a capture double of the test's own.
template <class Entree>
struct BancSur {
    BancSur() { cartes.list = {{"Micro", true}}; }
    auto parts() { return std::tie(v, entree, port, m, w); }

    QTemporaryDir dossier;
    Variables v;
    FakeAudioDeviceEnumerator cartes;
    Entree entree;
    RecordingPort port;
    MessagesEnregistres messages;
    Marche m{v, cartes, entree, port, messages, Emplacements::ensemble(dossier.path().toStdString())};
    FPrincipale w{m, messages};
};

}  // namespace

class FPrincipaleTest : public QObject {
    Q_OBJECT
private slots:
    void controlsFollowTheLayoutTable();
    void stoppedAndRunningStates();
    void openFailureStaysStoppedAndCanRetry();
    void noUsableDeviceEndsTheProgram();
    void listPositionKeepsTheDeviceNumber();
    void chaserButtonActsOneTickLate();
    void slowAndInverseActInTheirOwnTick();
    void inverseForcedUpAndGreyedCountsAsUp();
    void buttonsFourAndFiveChangeNothing();
    void tickInsideAnotherIsSkipped();
    void silentInputIsReportedOncePerRun();
    void startUpWithoutConfig();
    void startUpWithAssignments();
    void modeNameLabel_data();
    void modeNameLabel();
    void doubleClickLoadsTheMode();
    void missingSaveFolderLeavesTheListEmpty();
    void initialisationAfterARunClearsLamps();
    void quitQuestion_data();
    void quitQuestion();
    void closeBoxWhileRunningIsRefusedUntouched();
    void timerOfIntervalZeroNeverTicks();
    void quitAsksOnceWhenTheApplicationClosesItsWindows_data();
    void quitAsksOnceWhenTheApplicationClosesItsWindows();
    void stopInsideTheEventPassEndsTheTickUntouched();
    void eventPassRunsBetweenCaptureAndComparison();
    void chaserStateSurvivesAStopAndAStart();
    void namesFromFilesAndUsersShowAsPlainText();
    void runButtonFirstThenTheLayoutInTheKeyboardOrder();
    void aTickRepaintsOnlyWhatChangedInOnePaint();
    void barsTellAssistiveTechnologyTheirNameAndLevel();
    void chaserStepsOnTheBeat();
    void windowAnswersWhileTheSoundSystemIsSilent();
    void runStartsWhenTheOpeningEndsOffTheWindowThread_data();
    void runStartsWhenTheOpeningEndsOffTheWindowThread();
    void aRemoteStopWhileTheCardOpensIsKept_data();
    void aRemoteStopWhileTheCardOpensIsKept();
    void noDeviceListedLaterEndsTheProgram();
    void captureBlocksFollowThePeriodAndTheAnalysis();
    void bandsLightKicksBetweenTicks();
    void beatStepReachesThePortAtOnce();
    void remotePressSetsTheLiveButtonState();
    void hissAfterTheMusicGivesTheTimerBack();
    void remotePressReachesThePortWithoutATick();
    void applyingBandsDuringARunReopensWithTheirBlocks();
    void withBandsTheChaserStepsThroughAStall();
    void aStallSendsNoBurstOfOldStates();
    void theTickGoesOnWhenItsSoundComesWithoutHoldingTheThread();
};

void FPrincipaleTest::controlsFollowTheLayoutTable() {
    Banc b;
    QVERIFY(b.charger());
    FPrincipale& w = b.fenetre();
    QCOMPARE(w.windowTitle(), QString("Korvalen"));
    QCOMPARE(w.size(), QSize(595, 386));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(b.ctl("Command3")->geometry(), QRect(200, 248, 249, 57));
    QCOMPARE(b.ctl("Check1[15]")->geometry(), QRect(8, 256, 121, 17));
    QCOMPARE(b.ctl("Check2[4]")->geometry(), QRect(488, 16, 97, 33));
    QCOMPARE(b.ctl("ProgressBar1[9]")->geometry(), QRect(224, 24, 17, 185));
    QCOMPARE(b.ctl("Check1[15]")->parentWidget()->objectName(), QString("Frame1"));
    QCOMPARE(b.ctl<QPushButton>("Command6")->text(), QString("Config Modes"));
    QCOMPARE(b.ctl<QGroupBox>("Frame4")->title(), QString("Boutons "));
    QVERIFY(b.ctl<QPushButton>("Command3")->font().bold());
    QCOMPARE(b.ctl<QPushButton>("Command3")->font().pointSize(), 12);
}

void FPrincipaleTest::stoppedAndRunningStates() {
    Banc b;
    QVERIFY(b.charger());
    auto* run = b.ctl<QPushButton>("Command3");
    auto etatArrete = [&] {
        QCOMPARE(run->text(), QString("Lancement"));
        for (const QString& n : SIX_BOUTONS) QVERIFY2(b.ctl(n)->isEnabled(), qPrintable(n));
        QVERIFY(!b.timer("Timer1")->isTicking());
        QVERIFY(!b.timer("Timer2")->isEnabled());
        QCOMPARE(b.v.enMarche, FAUX);
    };
    etatArrete();
    QCOMPARE(b.timer("Timer1")->interval(), 0);
    QCOMPARE(b.timer("Timer2")->interval(), 30);

    b.lancer();
    QCOMPARE(run->text(), QString("Arret"));
    for (const QString& n : SIX_BOUTONS) QVERIFY2(!b.ctl(n)->isEnabled(), qPrintable(n));
    QCOMPARE(b.timer("Timer1")->interval(), 200);
    QVERIFY(b.timer("Timer1")->isTicking());
    QVERIFY(b.timer("Timer2")->isEnabled());
    QCOMPARE(b.v.enMarche, VRAI);
    QCOMPARE(b.entree.openedDevices, std::vector<int>{0});
    QCOMPARE(b.entree.starts, 1);
    QCOMPARE(b.port.reconnexions, 1);  // each start tries again to reach lamps out of reach

    b.lancer();
    etatArrete();
    QCOMPARE(b.entree.closes, 1);
    QCOMPARE(b.port.reconnexions, 1);
}

void FPrincipaleTest::openFailureStaysStoppedAndCanRetry() {
    Banc b;
    b.entree.openSucceeds = false;
    QVERIFY(b.charger());
    b.lancer();
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].texte, QString("Wave input device didn't open!"));
    QCOMPARE(b.messages.boxes[0].titre, QString("Ack!"));
    QVERIFY(b.messages.boxes[0].icone == Icone::Exclamation);
    QCOMPARE(b.ctl<QPushButton>("Command3")->text(), QString("Lancement"));
    QVERIFY(!b.timer("Timer2")->isEnabled());
    QCOMPARE(b.v.enMarche, FAUX);

    b.entree.openSucceeds = true;
    b.lancer();
    QCOMPARE(b.entree.openedDevices.size(), size_t(2));
    QCOMPARE(b.v.enMarche, VRAI);
}

void FPrincipaleTest::noUsableDeviceEndsTheProgram() {
    for (const auto& liste : {std::vector<AudioDeviceInfo>{}, std::vector<AudioDeviceInfo>{{"Sans format", false}}}) {
        Banc b;
        b.cartes.list = liste;
        QVERIFY(!b.charger());
        QCOMPARE(b.messages.boxes.size(), 1);
        QCOMPARE(b.messages.boxes[0].texte, QString("You have no audio input devices!"));
        QCOMPARE(b.messages.boxes[0].titre, QString("Ack!"));
        QVERIFY(b.messages.boxes[0].icone == Icone::Critique);
        QVERIFY(b.v.fichierINI.empty());  // nothing after the first step ran
    }
}

void FPrincipaleTest::listPositionKeepsTheDeviceNumber() {
    Banc b;
    b.cartes.list = {{"Sortie seule", false}, {"Micro USB", true}, {"Ligne", true}};
    QVERIFY(b.charger());
    QCOMPARE(b.marche().listeCartes(), (std::vector<QString>{"Micro USB", "Ligne"}));
    QCOMPARE(b.marche().carteChoisie(), 0);
    b.marche().choisirCarte(1);
    b.lancer();
    b.lancer();
    b.marche().choisirCarte(-1);
    b.lancer();
    QCOMPARE(b.entree.openedDevices, (std::vector<int>{2, -1}));
}

// Level 100 on bar 1 with B1 set to light above 50: the comparison lights B1 (byte 2 of group B).
static void modeB1(Banc& b) {
    b.v.SortieB[1].sens[1] = 2;
    b.v.SortieB[1].seuil[1] = 50;
}

void FPrincipaleTest::chaserButtonActsOneTickLate() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.lancer();
    for (int i = 0; i < 4; ++i) b.entree.queue(128, {{20, 228}});

    b.direct(0)->setValeur(1);
    b.marche().Timer1_Timer();  // still from the levels
    QCOMPARE(b.v.etatB1, VRAI);
    QCOMPARE(b.v.chenillardActif, VRAI);
    QVERIFY(b.timer("Timer2")->isEnabled());

    b.marche().Timer2_Timer();  // chase step 1: B0
    b.marche().Timer1_Timer();  // the comparison is skipped now
    QCOMPARE(b.v.etatB0, VRAI);
    QCOMPARE(b.v.etatB1, FAUX);

    b.direct(0)->setValeur(0);
    b.marche().Timer1_Timer();  // first tick after release still skips it
    QCOMPARE(b.v.etatB0, VRAI);
    QVERIFY(!b.timer("Timer2")->isEnabled());
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.etatB0, FAUX);
    QCOMPARE(b.v.etatB1, VRAI);
    QCOMPARE(b.ctl<BarreNiveau>("ProgressBar1[1]")->value(), 100);
}

void FPrincipaleTest::slowAndInverseActInTheirOwnTick() {
    Banc b;
    QVERIFY(b.charger());
    b.v.SortieB[0].sens[0] = 2;  // B0, masked by Slow
    modeB1(b);                   // B1, not masked
    b.lancer();
    b.entree.queue(128, {{10, 0}, {20, 0}});
    b.direct(1)->setValeur(1);
    b.port.writes.clear();
    b.marche().Timer1_Timer();
    QCOMPARE(b.port.writes.size(), size_t(8));
    QCOMPARE(b.port.writes[3], (std::pair<std::uint32_t, std::uint8_t>(0x378, 2)));
    QVERIFY(!b.ctl<QCheckBox>("Check1[8]")->isChecked());
    QVERIFY(b.ctl<QCheckBox>("Check1[9]")->isChecked());

    // Inversé is sampled before the chaser's next step in the same tick.
    b.direct(0)->setValeur(1);
    b.direct(2)->setValeur(1);
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.inverseActif, VRAI);
}

void FPrincipaleTest::inverseForcedUpAndGreyedCountsAsUp() {
    Banc b;
    QVERIFY(b.charger());
    b.lancer();
    b.direct(2)->setValeur(1);
    b.marche().Timer1_Timer();
    QCOMPARE(b.direct(2)->valeur(), 0);
    QCOMPARE(b.v.inverseActif, FAUX);

    b.direct(0)->setValeur(2);
    b.direct(1)->setValeur(2);
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.chenillardActif, FAUX);
    QCOMPARE(b.v.slowActif, FAUX);
    QVERIFY(!b.timer("Timer2")->isEnabled());
}

void FPrincipaleTest::buttonsFourAndFiveChangeNothing() {
    Banc b;
    QVERIFY(b.charger());
    modeB1(b);
    b.lancer();
    b.entree.queue(128, {{20, 228}});
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    const auto sans = b.port.writes;
    b.port.writes.clear();
    b.direct(3)->setValeur(1);
    b.direct(4)->setValeur(1);
    b.marche().Timer1_Timer();
    QCOMPARE(b.port.writes, sans);
}

// Capture double that runs a tick from inside the capture, as a timer event in the event pass would.
class EntreeReentrante : public FakeAudioInput {
public:
    CaptureResult capture(TamponCapture& t, std::chrono::milliseconds d) override {
        if (marche && captures == 0) {
            ++captures;
            marche->Timer1_Timer();
            --captures;
        }
        return FakeAudioInput::capture(t, d);
    }
    Marche* marche = nullptr;
};

void FPrincipaleTest::tickInsideAnotherIsSkipped() {
    BancSur<EntreeReentrante> b;
    QVERIFY(b.w.Form_Load());
    b.m.Command3_Click();
    b.entree.queue(128);
    b.entree.marche = &b.m;
    b.port.writes.clear();
    b.m.Timer1_Timer();
    QCOMPARE(b.entree.captures, 1);
    QCOMPARE(b.port.writes.size(), size_t(8));
}

void FPrincipaleTest::silentInputIsReportedOncePerRun() {
    Banc b;
    QVERIFY(b.charger());
    b.lancer();
    b.entree.queue(128, {{10, 28}});
    b.marche().Timer1_Timer();
    b.marche().Timer1_Timer();  // nothing queued: the input stopped delivering
    b.marche().Timer1_Timer();
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].genre, QString("signaler"));
    QCOMPARE(b.v.niveaux[0], 100.0f);  // levels from the last buffer received
    QCOMPARE(b.entree.lastTimeout, std::chrono::milliseconds(250));
    b.lancer();
    b.lancer();
    b.entree.queue(128);  // the new run delivers, then stops delivering
    b.marche().Timer1_Timer();
    b.marche().Timer1_Timer();
    QCOMPARE(b.messages.boxes.size(), 2);
}

void FPrincipaleTest::startUpWithoutConfig() {
    Banc b;
    QVERIFY(b.charger());
    QCOMPARE(QString::fromStdString(b.v.fichierINI), b.dossier.filePath("Config.ini"));
    QCOMPARE(b.v.Temps_timer, 200);
    for (int k = 0; k < 5; ++k) QCOMPARE(b.direct(k)->text(), QString("Spot A0"));
    QCOMPARE(b.ctl<QCheckBox>("Check1[9]")->text(), QString("Spot B1"));
    QCOMPARE(b.v.SortieB[0].numero, 8);
    QCOMPARE(b.ctl<QLabel>("Label1")->text(), QString());
    QVERIFY(b.messages.boxes.isEmpty());
}

void FPrincipaleTest::startUpWithAssignments() {
    Banc b("[Sorties]\r\nB 1=Stroboscope\r\n[Options]\r\nTemps_timer=50\r\n"
           "[Boutons]\r\nBouton1=-1\r\nBouton2=9\r\nBouton3=40\r\nBouton4=3\r\nBouton5=abc\r\n");
    QVERIFY(b.charger());
    const QStringList attendu = {"Chenillard", "Stroboscope", "Inversé", "Spot A3", "Spot A0"};
    for (int k = 0; k < 5; ++k) QCOMPARE(b.direct(k)->text(), attendu[k]);
    b.lancer();
    QCOMPARE(b.timer("Timer1")->interval(), 50);
}

void FPrincipaleTest::modeNameLabel_data() {
    QTest::addColumn<QString>("fichier");
    QTest::addColumn<QString>("affiche");
    QTest::newRow("plain") << "fete.lum" << "fete";
    QTest::newRow("twice") << "a.lum.lum" << "a";
    QTest::newRow("capitals") << "FETE.LUM" << "FETE.LUM";
}

void FPrincipaleTest::modeNameLabel() {
    QFETCH(QString, fichier);
    QFETCH(QString, affiche);
    Banc b("[Options]\r\nfichierLUM=" + fichier.toUtf8() + "\r\n");
    QVERIFY(b.charger());
    QCOMPARE(b.ctl<QLabel>("Label1")->text(), affiche);
}

void FPrincipaleTest::doubleClickLoadsTheMode() {
    Banc b;
    QByteArray mode = "#TRUE#,#FALSE#\r\n2,40,";  // SortieA(0): active, sens(0)=2, seuil(0)=40
    b.ecrire("fete.lum", mode);
    b.ecrire("AUTRE.LUM", "\"vide\"\r\n");
    b.ecrire("notes.txt", "x");
    QVERIFY(b.charger());
    auto* liste = b.ctl<QListWidget>("File1");
    QCOMPARE(liste->count(), 2);
    liste->setCurrentItem(liste->findItems("fete.lum", Qt::MatchExactly).value(0));
    b.fenetre().File1_DblClick();
    QCOMPARE(b.v.fichierLUM, std::string("fete.lum"));
    QCOMPARE(b.ctl<QLabel>("Label1")->text(), QString("fete"));
    QCOMPARE(b.v.SortieA[0].active, VRAI);
    QCOMPARE(b.v.SortieA[0].sens[0], 2);
    QCOMPARE(b.v.SortieA[0].seuil[0], 40);
}

void FPrincipaleTest::missingSaveFolderLeavesTheListEmpty() {
    Banc b("[Options]\r\nrepertoire=/nonexistent/korvalen\r\nfichierLUM=fete.lum\r\n[Boutons]\r\nBouton1=-1\r\n");
    QVERIFY(b.charger());
    QCOMPARE(b.ctl<QListWidget>("File1")->count(), 0);
    QCOMPARE(b.ctl<QLabel>("Label1")->text(), QString("fete"));  // start-up went on
    QCOMPARE(b.direct(0)->text(), QString("Chenillard"));
    QVERIFY(b.messages.boxes.isEmpty());
}

void FPrincipaleTest::initialisationAfterARunClearsLamps() {
    Banc b;
    QVERIFY(b.charger());
    modeB1(b);
    b.v.SortieA[2].coche = VRAI;
    b.v.SortieB[5].coche = VRAI;
    b.lancer();
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    b.lancer();  // stop: lamps keep their state
    QVERIFY(b.ctl<QCheckBox>("Check1[9]")->isChecked());
    b.port.writes.clear();
    b.ctl<QPushButton>("Command8")->click();
    QCOMPARE(b.v.SortieA[2].coche, FAUX);
    QCOMPARE(b.v.SortieB[5].coche, FAUX);
    for (int i = 0; i < 16; ++i) QVERIFY(!b.ctl<QCheckBox>(QString("Check1[%1]").arg(i))->isChecked());
    QCOMPARE(b.port.writes.size(), size_t(14));
    QCOMPARE(b.port.writes[3].second, 2);  // the states go out first, then both groups are cleared
    QCOMPARE(b.port.writes.back(), (std::pair<std::uint32_t, std::uint8_t>(0x37A, 0)));
    QCOMPARE(b.v.etatB1, VRAI);
}

void FPrincipaleTest::quitQuestion_data() {
    QTest::addColumn<bool>("parBouton");
    QTest::addColumn<bool>("oui");
    QTest::newRow("button, yes") << true << true;
    QTest::newRow("button, no") << true << false;
    QTest::newRow("close box, yes") << false << true;
    QTest::newRow("close box, no") << false << false;
}

void FPrincipaleTest::quitQuestion() {
    QFETCH(bool, parBouton);
    QFETCH(bool, oui);
    Banc b;
    QVERIFY(b.charger());
    b.fenetre().show();
    QSignalSpy quitte(&b.fenetre(), &FPrincipale::quitter);
    b.messages.reponses = {oui};
    if (parBouton) {
        b.ctl<QPushButton>("Command5")->click();
    } else {
        b.fenetre().close();
    }
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].texte, QString("Voulez-vous vraiment Quitter!"));
    QCOMPARE(b.messages.boxes[0].titre, QString("Quitter"));
    QCOMPARE(quitte.count(), oui ? 1 : 0);
    if (!parBouton) QCOMPARE(b.fenetre().isVisible(), !oui);
}

void FPrincipaleTest::closeBoxWhileRunningIsRefusedUntouched() {
    Banc b;
    QVERIFY(b.charger());
    b.fenetre().show();
    b.lancer();
    QSignalSpy quitte(&b.fenetre(), &FPrincipale::quitter);
    QVERIFY(!b.fenetre().close());
    QVERIFY(b.fenetre().isVisible());
    QVERIFY(b.messages.boxes.isEmpty());
    QCOMPARE(quitte.count(), 0);
    QCOMPARE(b.entree.closes, 0);
    QVERIFY(b.entree.isOpen());
    QVERIFY(b.timer("Timer1")->isTicking());
    QCOMPARE(b.ctl<QPushButton>("Command3")->text(), QString("Arret"));
}

void FPrincipaleTest::timerOfIntervalZeroNeverTicks() {
    Banc b("[Options]\r\nTemps_timer=0\r\n");
    QVERIFY(b.charger());
    b.lancer();
    QVERIFY(b.timer("Timer1")->isEnabled());
    QVERIFY(!b.timer("Timer1")->isTicking());
    QTest::qWait(50);
    QCOMPARE(b.entree.captures, 0);
    QVERIFY(b.timer("Timer2")->isTicking());
}

void FPrincipaleTest::quitAsksOnceWhenTheApplicationClosesItsWindows_data() {
    QTest::addColumn<bool>("parBouton");
    QTest::newRow("button") << true;
    QTest::newRow("close box") << false;
}

// Quitting the application closes its windows; the answer already given must not be asked for again.
void FPrincipaleTest::quitAsksOnceWhenTheApplicationClosesItsWindows() {
    QFETCH(bool, parBouton);
    Banc b;
    QVERIFY(b.charger());
    b.fenetre().show();
    QObject::connect(&b.fenetre(), &FPrincipale::quitter, qApp, &QApplication::quit);
    QTimer::singleShot(0, &b.fenetre(), [&] {
        if (parBouton) {
            b.ctl<QPushButton>("Command5")->click();
        } else {
            b.fenetre().close();
        }
    });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });  // a quit refused would never end
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(b.messages.boxes.size(), 1);
    QVERIFY(!b.fenetre().isVisible());
}

// "Arret" clicked while the tick waits for its capture runs in the tick's event pass.
void FPrincipaleTest::stopInsideTheEventPassEndsTheTickUntouched() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.lancer();
    b.entree.queue(128, {{20, 228}});
    b.direct(0)->setValeur(1);
    b.port.writes.clear();
    QMetaObject::invokeMethod(b.ctl<QPushButton>("Command3"), &QPushButton::click, Qt::QueuedConnection);
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.enMarche, FAUX);
    QCOMPARE(b.ctl<QPushButton>("Command3")->text(), QString("Lancement"));
    QVERIFY(!b.timer("Timer2")->isEnabled());
    QVERIFY(!b.timer("Timer1")->isTicking());
    QCOMPARE(b.v.chenillardActif, FAUX);
    QVERIFY(!b.ctl<QCheckBox>("Check1[9]")->isChecked());
    QVERIFY(b.port.writes.empty());
}

// A click during the capture wait takes effect in the same tick, after the bars got their levels.
void FPrincipaleTest::eventPassRunsBetweenCaptureAndComparison() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.v.SortieB[0].sens[1] = 2;  // B0 too, which Slow masks
    b.v.SortieB[0].seuil[1] = 50;
    b.lancer();
    b.entree.queue(128, {{20, 228}});
    int barrePendantLaPasse = -1;
    QTimer::singleShot(0, &b.fenetre(), [&] {
        barrePendantLaPasse = b.ctl<BarreNiveau>("ProgressBar1[1]")->value();
        b.direct(1)->click();  // Slow
    });
    b.port.writes.clear();
    b.marche().Timer1_Timer();
    QCOMPARE(barrePendantLaPasse, 100);
    QCOMPARE(b.port.writes.size(), size_t(8));
    QCOMPARE(b.port.writes[3].second, 2);  // B1 lit, B0 masked by Slow
}

void FPrincipaleTest::chaserStateSurvivesAStopAndAStart() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.lancer();
    b.direct(0)->setValeur(1);
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    for (int i = 0; i < 3; ++i) b.marche().Timer2_Timer();
    QCOMPARE(b.v.etapeChenillard, 3);
    b.direct(0)->setValeur(0);
    b.lancer();
    b.lancer();
    QCOMPARE(b.v.chenillardActif, VRAI);
    QCOMPARE(b.v.etapeChenillard, 3);
    // The first tick of the new run still follows the chase (step 3 lights B3), not the levels.
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.etatB1, FAUX);
    QCOMPARE(b.v.etatB3, VRAI);
    QCOMPARE(b.v.chenillardActif, FAUX);
}

void FPrincipaleTest::namesFromFilesAndUsersShowAsPlainText() {
    const QString nom = "Rock&Roll <b>gras</b>";
    Banc b("[Sorties]\r\nA 0=" + nom.toUtf8() + "\r\n[Options]\r\nfichierLUM=<h1>Gros</h1><img src=x>.lum\r\n");
    QVERIFY(b.charger());
    auto* label = b.ctl<QLabel>("Label1");
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(label->text(), QString("<h1>Gros</h1><img src=x>"));
    // A single '&' in a caption would underline the next letter and take Alt+R as a shortcut.
    const QList<QAbstractButton*> boutons = {b.ctl<QCheckBox>("Check1[0]"), b.direct(0)};
    b.marche().setLegendeBoutonDirect(1, nom);
    for (QAbstractButton* bouton : boutons + QList<QAbstractButton*>{b.direct(1)}) {
        QVERIFY2(QKeySequence::mnemonic(bouton->text()).isEmpty(), qPrintable(bouton->objectName()));
        QCOMPARE(QString(bouton->text()).replace("&&", "&"), nom);
    }
}

void FPrincipaleTest::runButtonFirstThenTheLayoutInTheKeyboardOrder() {
    Banc b;
    QVERIFY(b.charger());
    FPrincipale& w = b.fenetre();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QStringList attendu = {"Command3", "Command6", "Command7", "Command2", "File1"};
    for (int i = 0; i < 16; ++i) attendu << QString("Check1[%1]").arg(i);
    for (int k = 0; k < 5; ++k) attendu << QString("Check2[%1]").arg(k);
    attendu << "Command4" << "Command8" << "Command5" << "Command3";
    QStringList ordre = {QApplication::focusWidget()->objectName()};
    while (ordre.size() < attendu.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ordre << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(ordre, attendu);
}

// Counts the paint events of the bars, the indicators and the live buttons, by object name.
class CompteurPeintures : public QObject {
public:
    explicit CompteurPeintures(QWidget& fenetre) {
        for (QWidget* w : fenetre.findChildren<QWidget*>()) {
            if (w->objectName().startsWith("ProgressBar1") || w->objectName().startsWith("Check")) {
                w->installEventFilter(this);
            }
        }
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++peintures[o->objectName()];
        return false;
    }
    QMap<QString, int> peintures;
};

void FPrincipaleTest::aTickRepaintsOnlyWhatChangedInOnePaint() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.fenetre().show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.fenetre()));
    b.lancer();
    QCoreApplication::processEvents();
    CompteurPeintures compteur(b.fenetre());
    b.entree.queue(128, {{20, 228}});  // bar 1 to 100: B1 lights
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    QCoreApplication::processEvents();
    // The indicators overlap by a pixel, so the neighbours of Check1[9] take their share of its area.
    QMap<QString, int> attendu = {{"ProgressBar1[1]", 1}, {"Check1[8]", 1}, {"Check1[9]", 1}, {"Check1[10]", 1}};
    QCOMPARE(compteur.peintures, attendu);

    compteur.peintures.clear();
    b.marche().Timer1_Timer();  // the same levels: nothing to paint
    QCoreApplication::processEvents();
    QCOMPARE(compteur.peintures, (QMap<QString, int>{}));
}

void FPrincipaleTest::barsTellAssistiveTechnologyTheirNameAndLevel() {
    installerAccessibiliteBarres();
    Banc b;
    QVERIFY(b.charger());
    b.fenetre().show();
    b.chenillardALaMain();
    b.lancer();
    b.entree.queue(128, {{20, 228}});  // bar 1 at 100, the others at 0
    b.marche().Timer1_Timer();
    QAccessibleInterface* barre = QAccessible::queryAccessibleInterface(b.ctl("ProgressBar1[1]"));
    QVERIFY(barre != nullptr);
    QCOMPARE(barre->role(), QAccessible::ProgressBar);
    QCOMPARE(barre->text(QAccessible::Name), QString("Niveau de la barre 2"));
    QVERIFY(barre->valueInterface() != nullptr);
    QCOMPARE(barre->valueInterface()->currentValue().toInt(), 100);
    QCOMPARE(barre->valueInterface()->maximumValue().toInt(), 100);
    QCOMPARE(barre->text(QAccessible::Value), QString("100"));
    QAccessibleInterface* autre = QAccessible::queryAccessibleInterface(b.ctl("ProgressBar1[0]"));
    QCOMPARE(autre->valueInterface()->currentValue().toInt(), 0);
    b.lancer();
}

// The window shows before the sound system answers, and "Lancement" waits for the list.
void FPrincipaleTest::windowAnswersWhileTheSoundSystemIsSilent() {
    BancEnFond b;
    QVERIFY(b.fenetre().Form_Load());
    b.fenetre().show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.fenetre()));
    QTRY_COMPARE(b.cartes.porte.attentes(), 1);
    QVERIFY(b.marche().listeCartes().empty());
    QVERIFY(b.repond());
    b.boutonMarche()->click();
    b.boutonMarche()->click();  // pressed twice while waiting: one opening
    QVERIFY(b.repond());
    QCOMPARE(b.entree.porte.attentes(), 0);
    QCOMPARE(b.v.enMarche, FAUX);
    b.cartes.porte.ouvrir();
    QTRY_COMPARE(b.marche().listeCartes(), (std::vector<QString>{"Micro", "Ligne"}));
    QTRY_COMPARE(b.entree.porte.attentes(), 1);
    b.entree.porte.ouvrir();
    QTRY_COMPARE(b.v.enMarche, VRAI);
    QCOMPARE(b.entree.openedDevices, std::vector<int>{0});
    QCOMPARE(b.boutonMarche()->text(), QString("Arret"));
    QVERIFY(b.messages.boxes.isEmpty());
}

void FPrincipaleTest::aRemoteStopWhileTheCardOpensIsKept_data() {
    QTest::addColumn<QList<bool>>("ordres");  // what a surface sends while the card opens
    QTest::addColumn<bool>("enMarche");
    QTest::newRow("stop") << QList<bool>{false} << false;
    QTest::newRow("stop, then start again") << QList<bool>{false, true} << true;
    QTest::newRow("start again") << QList<bool>{true} << true;
}

// A tablet's "/korvalen/lancement 1" then "0" sent before the card has opened: the stop is not lost.
void FPrincipaleTest::aRemoteStopWhileTheCardOpensIsKept() {
    QFETCH(QList<bool>, ordres);
    QFETCH(bool, enMarche);
    BancEnFond b;
    b.cartes.porte.ouvrir();
    QVERIFY(b.fenetre().Form_Load());
    QTRY_COMPARE(b.marche().listeCartes().size(), size_t(2));
    QVERIFY(b.marche().commanderMarche(true));
    QTRY_COMPARE(b.entree.porte.attentes(), 1);
    for (const bool actif : ordres) QVERIFY(b.marche().commanderMarche(actif));
    b.entree.porte.ouvrir();
    QTRY_VERIFY(!b.marche().lancementEnAttente());
    QCOMPARE(b.v.enMarche != FAUX, enMarche);
    QCOMPARE(b.entree.isOpen(), enMarche);
    QCOMPARE(b.boutonMarche()->text(), QString(enMarche ? "Arret" : "Lancement"));
    QCOMPARE(b.fenetre().findChild<QPushButton*>("Command7")->isEnabled(), !enMarche);
}

void FPrincipaleTest::runStartsWhenTheOpeningEndsOffTheWindowThread_data() {
    QTest::addColumn<bool>("ouvre");
    QTest::newRow("opens") << true;
    QTest::newRow("fails") << false;
}

// While the opening waits for the sound system the window answers, a second press does nothing,
// the configuration buttons and the close box wait; its end starts the run or says it failed.
void FPrincipaleTest::runStartsWhenTheOpeningEndsOffTheWindowThread() {
    QFETCH(bool, ouvre);
    BancEnFond b;
    b.cartes.porte.ouvrir();
    QVERIFY(b.fenetre().Form_Load());
    QTRY_COMPARE(b.marche().listeCartes().size(), size_t(2));
    b.entree.openSucceeds = ouvre;
    b.boutonMarche()->click();
    QTRY_COMPARE(b.entree.porte.attentes(), 1);
    QVERIFY(b.repond());
    b.boutonMarche()->click();
    QVERIFY(b.repond());
    QCOMPARE(b.entree.porte.attentes(), 1);
    QVERIFY(!b.fenetre().findChild<QPushButton*>("Command7")->isEnabled());
    QVERIFY(!b.fenetre().close());  // refused while the run starts
    QCOMPARE(b.v.enMarche, FAUX);
    b.entree.porte.ouvrir();
    QTRY_COMPARE(b.v.enMarche, ouvre ? VRAI : FAUX);
    QTRY_COMPARE(b.fenetre().findChild<QPushButton*>("Command7")->isEnabled(), !ouvre);
    QCOMPARE(b.entree.openedDevices, std::vector<int>{0});
    QCOMPARE(b.boutonMarche()->text(), QString(ouvre ? "Arret" : "Lancement"));
    if (ouvre) {
        QVERIFY(b.messages.boxes.isEmpty());
    } else {
        QCOMPARE(b.messages.boxes.size(), 1);
        QCOMPARE(b.messages.boxes[0].texte, QString("Wave input device didn't open!"));
    }
}

// A list that comes empty ends the program as a start that waited for it does; one that is empty
// because the sound system did not answer leaves the window, and "Lancement" asks again.
void FPrincipaleTest::noDeviceListedLaterEndsTheProgram() {
    BancEnFond b;
    b.cartes.list = {{"Sans format", false}};
    b.cartes.porte.ouvrir();
    QSignalSpy quitter(&b.fenetre(), &FPrincipale::quitter);
    QVERIFY(b.fenetre().Form_Load());
    QTRY_COMPARE(quitter.count(), 1);
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].texte, QString("You have no audio input devices!"));

    BancEnFond muet;
    muet.cartes.list = {};
    muet.cartes.complete = false;
    muet.cartes.porte.ouvrir();
    muet.entree.porte.ouvrir();
    QSignalSpy fin(&muet.fenetre(), &FPrincipale::quitter);
    QSignalSpy listee(&muet.marche(), &Marche::listeCartesChangee);
    QVERIFY(muet.fenetre().Form_Load());
    QTRY_COMPARE(listee.count(), 1);
    QVERIFY(muet.repond());
    QCOMPARE(fin.count(), 0);
    QVERIFY(muet.messages.boxes.isEmpty());
    muet.cartes.list = {{"Micro", true}};
    muet.cartes.complete = true;
    muet.boutonMarche()->click();
    QTRY_COMPARE(muet.v.enMarche, VRAI);
    QCOMPARE(muet.cartes.porte.attentes(), 2);
    QCOMPARE(muet.entree.openedDevices, std::vector<int>{0});
}

void FPrincipaleTest::captureBlocksFollowThePeriodAndTheAnalysis() {
    Banc b("[Options]\r\nTemps_timer=200\r\n");
    QVERIFY(b.charger());
    b.lancer();
    QCOMPARE(b.entree.bloc, 771);
    b.lancer();
    b.v.analyse.bandes = true;
    b.lancer();
    QCOMPARE(b.entree.bloc, BLOC_DU_PERIPHERIQUE);
}

QTEST_MAIN(FPrincipaleTest)
// Steps of the chaser since `avant` (the step counter goes round every ten).
static int pas(const Variables& v, Entier& avant) {
    const int n = (v.etapeChenillard - avant + 10) % 10;
    avant = v.etapeChenillard;
    return n;
}

void FPrincipaleTest::chaserStepsOnTheBeat() {
    for (const bool rythme : {false, true}) {
        Banc b(rythme ? "[Analyse]\r\nRythme=1\r\n" : "");
        QVERIFY(b.charger());
        QCOMPARE(b.v.analyse.rythme, rythme);
        b.chenillardALaMain();  // the timer never steps it: every step below is a beat's
        b.lancer();
        b.direct(0)->setValeur(1);
        b.entree.queueSound(test::mixBatterie(120, 12, test::kicksUnSurDeux(120, 12)).son);
        Entier avant = b.v.etapeChenillard;
        int total = 0;
        while (!b.entree.buffers.empty()) {
            // The sound comes faster than in life: the beat tracker is let catch up, as it would.
            if (rythme) QTRY_VERIFY(b.entree.ring->total() - b.entree.ring->lu() < 2048);
            b.marche().Timer1_Timer();
            total += pas(b.v, avant);
        }
        if (!rythme) {
            QTest::qWait(100);
            QCoreApplication::processEvents();
            QCOMPARE(total + pas(b.v, avant), 0);
            continue;
        }
        // 24 beats in the loop; the tracker needs a few seconds of it to find them.
        QTRY_VERIFY_WITH_TIMEOUT((total += pas(b.v, avant)) >= 12, 10000);
        QVERIFY(total <= 26);
        // While beats come the timer's own ticks do nothing; two seconds without one, they step again.
        b.marche().Timer2_Timer();
        QCOMPARE(pas(b.v, avant), 0);
        int parLeTimer = 0;
        QElapsedTimer attente;
        attente.start();
        while (parLeTimer == 0 && attente.elapsed() < 5000) {
            QTest::qWait(50);
            pas(b.v, avant);  // a step placed on the last beat predicted is not the timer's
            b.marche().Timer2_Timer();
            parLeTimer = pas(b.v, avant);
        }
        QCOMPARE(parLeTimer, 1);
        // Switched off during the run: the timer drives it at once.
        b.v.analyse.rythme = false;
        b.marche().appliquerAnalyse();
        b.marche().Timer2_Timer();
        QCOMPARE(pas(b.v, avant), 1);
        b.lancer();
    }
}

// Group B's bytes as latched on the port, one per write sequence.
static std::vector<std::uint8_t> octetsB(const RecordingPort& port) {
    std::vector<std::uint8_t> b;
    for (std::size_t i = 0; i + 4 < port.writes.size(); ++i) {
        if (port.writes[i].first == 0x378 && port.writes[i + 1] == std::pair<std::uint32_t, std::uint8_t>(0x37A, 1)) {
            b.push_back(port.writes[i].second);
        }
    }
    return b;
}

// At the default period of 200 ms the bands light B0 at every kick, each within a block of
// sound: the refresh timer rests and the kicks between its ticks still reach the port.
void FPrincipaleTest::bandsLightKicksBetweenTicks() {
    Banc b("[Analyse]\r\nBandes=1\r\n");
    QVERIFY(b.charger());
    b.v.SortieB[0].sens[0] = 2;
    b.v.SortieB[0].seuil[0] = 65;
    b.lancer();
    QCOMPARE(b.timer("Timer1")->interval(), 200);
    QVERIFY(!b.timer("Timer1")->isTicking());
    const test::Mix mix = test::mixBatterie(120, 4, test::kicksIrreguliers(120, 4));
    b.port.writes.clear();
    // The device delivers the mix as its callback would, a few periods at a time.
    for (std::size_t i = 0; i + 1024 <= mix.son.size(); i += 1024) {
        b.entree.deliver(mix.son.data() + i, 1024);
        QTRY_COMPARE(b.entree.ring->lu(), b.entree.ring->total());
        QCoreApplication::processEvents();
    }
    const std::vector<std::uint8_t> bytes = octetsB(b.port);
    int allumages = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] & 1) && (i == 0 || !(bytes[i - 1] & 1))) ++allumages;
        // Only changes are written while the analysis drives the lamps.
        if (i > 0) QVERIFY(bytes[i] != bytes[i - 1]);
    }
    QCOMPARE(allumages, static_cast<int>(mix.kicks.size()));
    QTRY_VERIFY(b.ctl<QCheckBox>("Check1[8]")->isChecked() == ((bytes.back() & 1) != 0));
    // Switched off during the run: the refresh timer drives the lamps again.
    b.v.analyse.bandes = false;
    b.marche().appliquerAnalyse();
    QVERIFY(b.timer("Timer1")->isTicking());
    b.lancer();
}

// A beat moves the chaser and the port shows the move at once, with no refresh tick between.
void FPrincipaleTest::beatStepReachesThePortAtOnce() {
    Banc b("[Analyse]\r\nRythme=1\r\n");
    QVERIFY(b.charger());
    b.chenillardALaMain();
    b.lancer();
    b.timer("Timer1")->setEnabled(false);  // only beats may write from here on
    b.direct(0)->setValeur(1);
    b.entree.queue(128);
    b.marche().Timer1_Timer();  // the chaser sampled on
    b.port.writes.clear();
    const test::Mix mix = test::mixBatterie(120, 12, test::kicksUnSurDeux(120, 12));
    int etapes = 0;
    for (std::size_t i = 0; i + 128 <= mix.son.size() && etapes < 4; i += 128) {
        const Entier avant = b.v.etapeChenillard;
        b.entree.deliver(mix.son.data() + i, 128);
        QTRY_VERIFY(b.entree.ring->total() - b.entree.ring->lu() < 128);
        QCoreApplication::processEvents();
        if (b.v.etapeChenillard == avant) continue;
        ++etapes;
        // The step's light is on the port now: B0, B1, B3.. for steps 1, 2, 3..
        QVERIFY(!b.port.writes.empty());
        QCOMPARE(octetGroupeB(b.v), octetsB(b.port).back());
        QVERIFY(octetGroupeB(b.v) != 0 || octetGroupeA(b.v) != 0);
    }
    QCOMPARE(etapes, 4);
    b.lancer();
}

// A remote press turns the live button's state over in the program-wide state; the button on screen
// shows it, the change is told once, and the next step samples it. Greyed counts as up.
void FPrincipaleTest::remotePressSetsTheLiveButtonState() {
    Banc b;
    QVERIFY(b.charger());
    b.lancer();
    QSignalSpy change(&b.marche(), &Marche::boutonDirectChange);
    QVERIFY(b.marche().cliquerBoutonDirect(1));
    QCOMPARE(b.v.boutonsDirects[1], Entier(1));
    QCOMPARE(b.direct(1)->valeur(), 1);
    QVERIFY(b.marche().boutonDirectBas(1));
    QCOMPARE(change.count(), 1);
    QCOMPARE(change[0], (QList<QVariant>{1, true}));
    b.entree.queue(128);
    b.marche().Timer1_Timer();
    QCOMPARE(b.v.slowActif, VRAI);

    b.direct(3)->setValeur(2);  // greyed
    QCOMPARE(b.v.boutonsDirects[3], Entier(2));
    QVERIFY(b.marche().cliquerBoutonDirect(3));
    QCOMPARE(b.v.boutonsDirects[3], Entier(1));
    QVERIFY(b.marche().cliquerBoutonDirect(1));
    QCOMPARE(b.v.boutonsDirects[1], Entier(0));
    QCOMPARE(b.direct(1)->valeur(), 0);

    // A button the mouse could not press is refused, and its state stays.
    b.direct(4)->setEnabled(false);
    QVERIFY(!b.marche().cliquerBoutonDirect(4));
    QCOMPARE(b.v.boutonsDirects[4], Entier(0));
    b.lancer();
}

// When the music gives way to a line input's hiss, the chaser's timer steps again as soon as the
// hiss is heard for what it is, well before two seconds without a beat have passed.
void FPrincipaleTest::hissAfterTheMusicGivesTheTimerBack() {
    Banc b("[Analyse]\r\nRythme=1\r\n");
    QVERIFY(b.charger());
    b.chenillardALaMain();
    b.lancer();
    b.direct(0)->setValeur(1);
    b.entree.queue(128);
    b.marche().Timer1_Timer();
    const auto livrer = [&](const std::vector<float>& son) {
        for (std::size_t i = 0; i + 4096 <= son.size(); i += 4096) {
            b.entree.deliver(son.data() + i, 4096);
            QTRY_VERIFY(b.entree.ring->total() - b.entree.ring->lu() < 128);
            QCoreApplication::processEvents();
        }
    };
    livrer(test::mixBatterie(120, 10, test::kicksUnSurDeux(120, 10)).son);
    QElapsedTimer finMusique;
    finMusique.start();
    // The beats are recent: the timer's tick leaves the chaser to them.
    Entier avant = b.v.etapeChenillard;
    b.marche().Timer2_Timer();
    QCOMPARE(pas(b.v, avant), 0);
    std::vector<float> souffle;
    std::uint32_t x = 3;
    for (int i = 0; i < 3 * 11025; ++i) {
        x = x * 1664525u + 1013904223u;
        souffle.push_back(static_cast<float>((static_cast<double>(x >> 8) / double(1u << 23) - 1.0) * 0.00055));  // -70 dBFS
    }
    livrer(souffle);
    QTRY_VERIFY_WITH_TIMEOUT((b.marche().Timer2_Timer(), pas(b.v, avant) == 1), 1000);
    QVERIFY(finMusique.elapsed() < Marche::ATTENTE_BATTEMENT.count());
    b.lancer();
}

// At the default period a pad's press, and its release, reach the lamps at once, with no refresh
// tick between: the step runs with the last levels. A click on the screen waits for the tick.
void FPrincipaleTest::remotePressReachesThePortWithoutATick() {
    Banc b;
    QVERIFY(b.charger());
    b.chenillardALaMain();
    modeB1(b);
    b.lancer();
    QCOMPARE(b.timer("Timer1")->interval(), 200);
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    QCOMPARE(octetsB(b.port).back(), 2);  // B1 lit by bar 2
    b.port.writes.clear();
    QVERIFY(b.marche().cliquerBoutonDirect(0));  // the chaser: the step samples it at once
    QCOMPARE(b.v.chenillardActif, VRAI);
    QCOMPARE(b.port.writes.size(), size_t(8));
    b.port.writes.clear();
    QVERIFY(b.marche().cliquerBoutonDirect(0));  // released
    QCOMPARE(b.v.chenillardActif, FAUX);
    QCOMPARE(b.port.writes.size(), size_t(8));
    // Slow masks B0 at once, and its release shows it again.
    b.v.SortieB[0].sens[0] = 2;  // B0 follows bar 1
    b.v.SortieB[0].seuil[0] = 50;
    b.entree.queue(128, {{10, 228}, {20, 228}});
    b.marche().Timer1_Timer();
    QCOMPARE(octetsB(b.port).back(), 3);
    QVERIFY(b.marche().cliquerBoutonDirect(1));
    QCOMPARE(octetsB(b.port).back(), 2);
    QVERIFY(b.marche().cliquerBoutonDirect(1));
    QCOMPARE(octetsB(b.port).back(), 3);
    // The mouse's click is sampled by the next tick only.
    b.port.writes.clear();
    b.direct(1)->click();
    QVERIFY(b.port.writes.empty());
    b.entree.queue(128, {{20, 228}});
    b.marche().Timer1_Timer();
    QCOMPARE(octetsB(b.port).back(), 2);
    b.lancer();
}

// "Appliquer" that switches the bands on during a run at 200 ms opens the card again with the
// blocks the bands want, and the run goes on driven by them; switched off, the large blocks return.
void FPrincipaleTest::applyingBandsDuringARunReopensWithTheirBlocks() {
    Banc b;
    QVERIFY(b.charger());
    b.lancer();
    QCOMPARE(b.entree.bloc, 771);
    b.v.analyse.bandes = true;
    b.marche().appliquerAnalyse();
    QCOMPARE(b.entree.bloc, BLOC_DU_PERIPHERIQUE);
    QCOMPARE(b.entree.openedDevices.size(), size_t(2));
    QVERIFY(b.entree.opened);
    QVERIFY(b.marche().enMarche());
    QVERIFY(!b.timer("Timer1")->isTicking());
    b.v.analyse.bandes = false;
    b.marche().appliquerAnalyse();
    QCOMPARE(b.entree.bloc, 771);
    QVERIFY(b.timer("Timer1")->isTicking());
    QCOMPARE(b.ctl<QPushButton>("Command3")->text(), QString("Arret"));
    b.lancer();
}

// With the bands on no refresh tick runs: when the device stops delivering, the chaser's own steps
// still reach the lamps.
void FPrincipaleTest::withBandsTheChaserStepsThroughAStall() {
    Banc b("[Analyse]\r\nBandes=1\r\n");
    QVERIFY(b.charger());
    b.chenillardALaMain();
    b.lancer();
    b.direct(0)->setValeur(1);
    const std::vector<float> son = test::sinus(1000, 0.1, 0.1);
    b.entree.deliver(son.data(), son.size());
    QTRY_COMPARE(b.v.chenillardActif, VRAI);  // an analysis step sampled the button
    // The device delivers nothing more; each chaser step still goes out.
    for (int i = 0; i < 3; ++i) {
        b.port.writes.clear();
        b.marche().Timer2_Timer();
        QVERIFY(!b.port.writes.empty());
        QCOMPARE(octetsB(b.port).back(), octetGroupeB(b.v));
    }
    b.lancer();
}

// Findings that piled up while the run's thread was held (a stall, a long repaint) come as one
// step, not as a burst of old lamp states.
void FPrincipaleTest::aStallSendsNoBurstOfOldStates() {
    Banc b("[Analyse]\r\nBandes=1\r\n");
    QVERIFY(b.charger());
    b.v.SortieB[0].sens[0] = 2;
    b.v.SortieB[0].seuil[0] = 65;
    b.lancer();
    const test::Mix mix = test::mixBatterie(120, 4, test::kicksIrreguliers(120, 4));
    b.port.writes.clear();
    // The thread is held: nothing it was sent runs while the sound comes, block after block.
    for (std::size_t i = 0; i + 128 <= mix.son.size(); i += 128) {
        b.entree.deliver(mix.son.data() + i, 128);
        while (b.entree.ring->lu() != b.entree.ring->total()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QVERIFY(b.port.writes.empty());
    QCoreApplication::processEvents();
    QVERIFY(octetsB(b.port).size() <= 1);
    b.lancer();
}

// A device whose sound comes only when the test delivers it, as a card between two blocks.
struct EntreeALaDemande : FakeAudioInput {
    void demanderCapture() override { ++demandes; }
    std::optional<CaptureResult> releverCapture(TamponCapture& t, std::chrono::milliseconds reste) override {
        if (!opened) return CaptureResult::NotOpen;
        if (!livre) return reste.count() > 0 ? std::nullopt : std::optional(CaptureResult::TimedOut);
        t.fill(128);
        t[20] = 228;
        livre = false;
        return CaptureResult::Ok;
    }
    int demandes = 0;
    bool livre = false;
};

// A tick whose sound has not come yet leaves the thread free: clicks, other windows and the remote
// run meanwhile; the tick goes on in its own order once the sound has come, and a tick that came
// due meanwhile starts right after it, so that a period as short as the capture loses none.
void FPrincipaleTest::theTickGoesOnWhenItsSoundComesWithoutHoldingTheThread() {
    BancSur<EntreeALaDemande> b;
    auto [v, entree, port, m, w] = b.parts();
    QVERIFY(w.Form_Load());
    m.setPeriodeChenillard(0);
    v.SortieB[1].sens[1] = 2;
    v.SortieB[1].seuil[1] = 50;
    m.Command3_Click();
    port.writes.clear();
    m.Timer1_Timer();
    QCOMPARE(entree.demandes, 1);
    QVERIFY(port.writes.empty());
    bool libre = false;
    QTimer::singleShot(0, &w, [&] { libre = true; });
    QTRY_VERIFY(libre);
    m.Timer1_Timer();  // due while the first still waits for its sound
    QCOMPARE(entree.demandes, 1);
    entree.livre = true;
    QTRY_COMPARE(port.writes.size(), size_t(8));
    QCOMPARE(octetsB(port).back(), 2);
    QCOMPARE(w.findChild<BarreNiveau*>("ProgressBar1[1]")->niveauAffiche(), 100);
    QCOMPARE(entree.demandes, 2);  // the tick due meanwhile asked for its sound at once
    // "Arret" while a tick waits drops it: the lamps keep their state, and the next run ticks again.
    m.Command3_Click();
    entree.livre = true;
    m.Command3_Click();
    m.Timer1_Timer();  // not skipped: the dropped tick waits for nothing
    QCOMPARE(entree.demandes, 3);
    QTRY_COMPARE(port.writes.size(), size_t(16));
    m.Command3_Click();
}

#include "FPrincipaleTest.moc"
