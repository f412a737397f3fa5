#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/FenetresConfiguration.h"
#include "app/PortCommutable.h"
#include "settings/Lecteurs.h"
#include "settings/ListeDossiers.h"
#include "doubles/FakeAudio.h"
#include "doubles/MessagesEnregistres.h"
#include "doubles/RecordingPort.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "run/Minuterie.h"
#include "translations/Langue.h"
#include "ui/Controles.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

void cliquer(QWidget* fenetre, const QString& bouton);

// One run of the program over test doubles: the main window and the settings windows wired as the
// entry point wires them. A second run on the same folder is a restart.
struct Programme {
    explicit Programme(const QString& dossier, QStringList lecteurs = {QStringLiteral("/")}, IPort* lampes = nullptr) {
        cartes.list = {{"Sortie seule", false}, {"Micro", true}, {"Ligne", true}};
        marche = std::make_unique<Marche>(v, cartes, entree, lampes ? *lampes : port, messages,
                                          Emplacements::ensemble(dossier.toStdString()));
        fenetre = std::make_unique<FPrincipale>(*marche, messages);
        reglages = std::make_unique<FenetresConfiguration>(v, *marche, messages, [lecteurs] { return lecteurs; });
        QObject::connect(fenetre.get(), &FPrincipale::fenetreDemandee, reglages.get(),
                         &FenetresConfiguration::ouvrir);
        QObject::connect(marche.get(), &Marche::listesActualisees, reglages.get(),
                         &FenetresConfiguration::repertoireChange);
        charge = fenetre->Form_Load();
        fenetre->show();
    }

    // Clicks a main-window button and returns the window it opened;
    // "Sortie des lampes" goes through the options window's button.
    QWidget* ouvrir(const QString& bouton) {
        if (bouton == "Sortie des lampes") {
            cliquer(reglages->options() ? reglages->options() : ouvrir("Command7"), "Command5");
            return reglages->sortieDesLampes();
        }
        QTest::mouseClick(fenetre->findChild<QPushButton*>(bouton), Qt::LeftButton);
        if (bouton == "Command2") return reglages->sorties();
        if (bouton == "Command4") return reglages->boutons();
        return reglages->options();
    }
    QString legende(int k) const { return fenetre->findChild<QPushButton*>(QStringLiteral("Check2[%1]").arg(k))->text(); }
    Minuterie* timer(const char* nom) const { return marche->findChild<Minuterie*>(nom); }

    Variables v;
    FakeAudioDeviceEnumerator cartes;
    FakeAudioInput entree;
    RecordingPort port;
    MessagesEnregistres messages;
    std::unique_ptr<Marche> marche;
    std::unique_ptr<FPrincipale> fenetre;
    std::unique_ptr<FenetresConfiguration> reglages;  // destroyed first, as in the entry point
    bool charge = false;
};

template <class T = QWidget>
T* ctl(QWidget* fenetre, const QString& nom) {
    T* w = fenetre->findChild<T*>(nom);
    if (!w) qFatal("no control %s in %s", qPrintable(nom), qPrintable(fenetre->objectName()));
    return w;
}

void cliquer(QWidget* fenetre, const QString& bouton) { QTest::mouseClick(ctl(fenetre, bouton), Qt::LeftButton); }

// Clicks an option button on its caption's first letters: a wide one's centre may lie past its caption.
void choisir(QWidget* fenetre, const QString& option) {
    QWidget* o = ctl(fenetre, option);
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(o->height() + 4, o->height() / 2));
}

// Replaces a text box's contents as the operator does: select all, type.
void taper(QWidget* fenetre, const QString& nom, const QString& texte) {
    auto* e = ctl<QLineEdit>(fenetre, nom);
    e->setFocus();
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Delete);
    for (const QChar c : texte) QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString texteDe(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return {};
}

QByteArray lire(const QString& fichier) {
    QFile f(fichier);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ecrire(const QString& fichier, const QByteArray& contenu) {
    QFile f(fichier);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenu);
}

// A double click as the mouse makes it: press, release, double-click, release.
void doubleCliquer(QWidget* vue, QPoint ou) {
    QTest::mouseClick(vue, Qt::LeftButton, {}, ou);
    QTest::mouseDClick(vue, Qt::LeftButton, {}, ou);
    QTest::mouseRelease(vue, Qt::LeftButton, {}, ou);
}

// Double-clicks the entry of `dossier` in a folder list.
void ouvrirDossier(ListeDossiers* liste, const QString& dossier) {
    QListWidgetItem* cible = nullptr;
    for (int i = 0; i < liste->count(); ++i) {
        if (liste->item(i)->data(Qt::UserRole).toString() == dossier) cible = liste->item(i);
    }
    QVERIFY2(cible, qPrintable(dossier));
    liste->scrollToItem(cible);
    QTRY_VERIFY(!liste->visualItemRect(cible).isEmpty());
    doubleCliquer(liste->viewport(), liste->visualItemRect(cible).center());
}

}  // namespace

class FenetresConfigurationTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowsFollowTheirLayoutTables_data();
    void windowsFollowTheirLayoutTables();
    void clearedNameIsSavedEmptyAndSurvivesRestart();
    void aNameInAnyAlphabetSurvivesRestart();
    void writingOutputsThenCancelKeepsNamesButFlags();
    void applyingButtonsAtOnceUnassignsAll();
    void chosenEntriesSaveTheirOutputNumber();
    void optionsApplyRewritesKeysAndSetsChaserPeriod();
    void optionsShowAFolderChangedElsewhere();
    void optionsStoreTheSoundAnalysis();
    void lampOutputAppliedDuringARunSwitchesToOlaAtOnce();
    void lampOutputRefusesBadValuesNamingTheFieldAndCancelChangesNothing_data();
    void lampOutputRefusesBadValuesNamingTheFieldAndCancelChangesNothing();
    void badPeriodsAreRefused_data();
    void badPeriodsAreRefused();
    void goodPeriodsAreTakenWithoutBlanks_data();
    void goodPeriodsAreTakenWithoutBlanks();
    void chosenDeviceIsOpenedAtNextStart();
    void appliedDeviceIsChosenByNameAtTheNextStart();
    void savedCardPluggedInLaterIsChosen_data();
    void savedCardPluggedInLaterIsChosen();
    void pickedFolderThenCancelLeavesSaveFolder();
    void pickerAppliedWithOptionsClosedCreatesItHidden();
    void hiddenPickerKeepsItsFolderAndCloseBoxStartsAfresh();
    void unreadableDriveKeepsThePreviousOne();
    void failedSaveKeepsTheWindowAndItsEdits_data();
    void failedSaveKeepsTheWindowAndItsEdits();
    void drivesFromTheMountTable_data();
    void drivesFromTheMountTable();
    void driveOfAFolder();
    void remoteButtonAsksTheEntryPointForItsWindow();
    void savesAreTheSameInEveryLanguage();

private:
    std::unique_ptr<QTemporaryDir> dossier_;  // the program's folder
    std::unique_ptr<QTemporaryDir> disque_;   // a "drive" for the folder picker
    QString courant_;
    QString config() const { return dossier_->filePath("Config.ini"); }
};

void FenetresConfigurationTest::init() {
    dossier_ = std::make_unique<QTemporaryDir>();
    disque_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(disque_->path()).mkpath("musique/soirees"));
    QVERIFY(QDir(disque_->path()).mkpath("photos"));
    // The picker opens at the program's current folder.
    courant_ = QDir::currentPath();
    QDir::setCurrent(disque_->path());
}

void FenetresConfigurationTest::cleanup() { QDir::setCurrent(courant_); }

void FenetresConfigurationTest::windowsFollowTheirLayoutTables_data() {
    QTest::addColumn<QString>("bouton");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("titre");
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<QStringList>("controles");
    QTest::addColumn<QList<QRect>>("places");
    QTest::addColumn<QStringList>("textes");
    QTest::newRow("outputs") << "Command2" << "Config_sorties" << "Configuration des sorties" << QSize(344, 261)
                             << QStringList{"Text2[7]", "Label3[7]", "Check1[3]", "Command3", "Line1"}
                             << QList<QRect>{{200, 168, 113, 19}, {176, 168, 17, 17}, {144, 72, 17, 17},
                                             {0, 192, 345, 33}, {168, 0, 2, 184}}
                             << QStringList{"Spot B7", "B7:", "", "Ecriture des sorties", ""};
    QTest::newRow("buttons") << "Command4" << "Config_Boutons" << "Configuration des boutons" << QSize(199, 165)
                             << QStringList{"Combo1[4]", "Label1[4]", "Command2"}
                             << QList<QRect>{{96, 104, 81, 21}, {32, 104, 57, 17}, {112, 136, 81, 25}}
                             << QStringList{"", "Bouton 5 :", "Appliquer"};
    QTest::newRow("options") << "Command7" << "Options" << "Options" << QSize(520, 249)
                             << QStringList{"Label2[1]", "DevicesBox", "Text3", "Command3", "Frame1", "Option1[1]",
                                            "Check2", "Command4", "Command5"}
                             << QList<QRect>{{240, 136, 41, 17}, {120, 96, 177, 21}, {192, 136, 41, 19},
                                             {256, 56, 41, 17}, {320, 8, 192, 169}, {8, 44, 176, 20},
                                             {8, 116, 176, 20}, {320, 184, 192, 25}, {320, 216, 192, 25}}
                             << QStringList{"ms", "Micro", "60", "...", "Analyse du son", "Bandes de fréquence",
                                            "Chenillard sur le rythme", "Télécommande…", "Sortie des lampes…"};
    QTest::newRow("lamp output") << "Sortie des lampes" << "SortieDesLampes" << "Sortie des lampes" << QSize(336, 280)
                                 << QStringList{"Option1[0]", "Option1[1]", "Text1", "Text3", "Check1", "Text5",
                                                "Command1"}
                                 << QList<QRect>{{8, 20, 304, 20}, {8, 44, 304, 20}, {112, 88, 216, 19},
                                                 {112, 144, 81, 19}, {8, 200, 320, 20}, {112, 224, 81, 19},
                                                 {256, 248, 73, 25}}
                                 << QStringList{"Port parallèle", "OLA (DMX, Art-Net, sACN)", "/dev/parport0", "1",
                                                "Niveaux : l'intensité suit la barre", "0", "Appliquer"};
    QTest::newRow("folder picker") << "..." << "frmFolder" << "Sélection du repertoire" << QSize(208, 162)
                                   << QStringList{"drv", "fld", "cmdOK"}
                                   << QList<QRect>{{8, 0, 193, 21}, {8, 24, 193, 111}, {104, 136, 97, 25}}
                                   << QStringList{"/", "", "Appliquer"};
}

void FenetresConfigurationTest::windowsFollowTheirLayoutTables() {
    QFETCH(QString, bouton);
    QFETCH(QString, nom);
    QFETCH(QString, titre);
    QFETCH(QSize, taille);
    QFETCH(QStringList, controles);
    QFETCH(QList<QRect>, places);
    QFETCH(QStringList, textes);
    Programme p(dossier_->path());
    QWidget* w = nullptr;
    if (bouton == "...") {
        cliquer(p.ouvrir("Command7"), "Command3");
        w = p.reglages->selecteurDossier();
    } else {
        w = p.ouvrir(bouton);
    }
    QVERIFY(w);
    QCOMPARE(w->objectName(), nom);
    QCOMPARE(w->windowTitle(), titre);
    QVERIFY(w->isVisible());
    QCOMPARE(w->size(), taille);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    // Modeless and centred: the main window stays usable.
    QCOMPARE(w->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY((w->frameGeometry().center() - w->screen()->availableGeometry().center()).manhattanLength() <= 2);
    for (int i = 0; i < controles.size(); ++i) {
        QWidget* c = ctl(w, controles[i]);
        QCOMPARE(c->geometry(), places[i]);
        QCOMPARE(texteDe(c), textes[i]);
    }

    for (const QLabel* l : w->findChildren<QLabel*>()) {
        // A word-wrapped note must fit its box in lines; any other label on one line.
        if (l->wordWrap()) {
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(l->objectName()));
        } else {
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
        }
    }

    // Asking again shows the same window, not a second one.
    if (bouton != "...") {
        const int fenetres = QApplication::topLevelWidgets().size();
        QCOMPARE(p.ouvrir(bouton), w);
        QCOMPARE(QApplication::topLevelWidgets().size(), fenetres);
    }
}

void FenetresConfigurationTest::clearedNameIsSavedEmptyAndSurvivesRestart() {
    {
        Programme p(dossier_->path());
        QVERIFY(p.charge);
        QWidget* w = p.ouvrir("Command2");
        QCOMPARE(ctl<QLineEdit>(w, "Text1[2]")->text(), QString("Spot A2"));
        taper(w, "Text1[2]", "");
        taper(w, "Text2[5]", "Lumière noire");
        QTest::mouseClick(ctl(w, "Check1[1]"), Qt::LeftButton);
        cliquer(w, "Command1");
        QVERIFY(!w->isVisible());
        QTRY_VERIFY(!p.reglages->sorties());
        QVERIFY(lire(config()).startsWith("[Sorties]\r\nA 0=Spot A0\r\nA 1=Spot A1\r\nA 2=\r\nA 3=Spot A3\r\n"));
        QVERIFY(lire(config()).contains("B 5=Lumi\xe8re noire\r\n"));
        QCOMPARE(p.v.SortieA[1].coche, VRAI);
        QCOMPARE(ctl<QCheckBox>(p.fenetre.get(), "Check1[2]")->text(), QString());
        QCOMPARE(ctl<QCheckBox>(p.fenetre.get(), "Check1[13]")->text(), QString("Lumière noire"));
    }
    Programme p(dossier_->path());
    QCOMPARE(p.v.SortieA[2].nom, std::string());
    QCOMPARE(ctl<QCheckBox>(p.fenetre.get(), "Check1[2]")->text(), QString());
    QWidget* w = p.ouvrir("Command2");
    QCOMPARE(ctl<QLineEdit>(w, "Text1[2]")->text(), QString());
    QVERIFY(!ctl<QCheckBox>(w, "Check1[1]")->isChecked());  // check flags are not kept across runs
}

void FenetresConfigurationTest::aNameInAnyAlphabetSurvivesRestart() {
    const QString nom = QString::fromUtf8("Łódź Ωμέγα");
    {
        Programme p(dossier_->path());
        QWidget* w = p.ouvrir("Command2");
        taper(w, "Text1[0]", nom);
        cliquer(w, "Command1");
        QTRY_VERIFY(!p.reglages->sorties());
        QVERIFY(lire(config()).startsWith("\xFF\xFE"));  // UTF-16LE with its mark
    }
    Programme p(dossier_->path());
    QCOMPARE(QString::fromStdString(p.v.SortieA[0].nom), nom);
    QCOMPARE(ctl<QCheckBox>(p.fenetre.get(), "Check1[0]")->text(), nom);
    QCOMPARE(QString::fromStdString(p.v.SortieA[1].nom), QString("Spot A1"));
}

void FenetresConfigurationTest::writingOutputsThenCancelKeepsNamesButFlags() {
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command2");
    taper(w, "Text1[0]", "Laser");
    QTest::mouseClick(ctl(w, "Check2[3]"), Qt::LeftButton);
    ctl<QCheckBox>(w, "Check1[6]")->setCheckState(Qt::PartiallyChecked);  // greyed counts as ticked
    cliquer(w, "Command3");
    QCOMPARE(p.port.writes.size(), size_t(14));  // one call of the port writer while stopped
    QVERIFY(w->isVisible());
    QCOMPARE(p.v.SortieB[3].coche, VRAI);
    QCOMPARE(p.v.SortieA[6].coche, VRAI);
    QCOMPARE(p.v.SortieA[0].nom, std::string("Spot A0"));

    cliquer(w, "Command2");
    QTRY_VERIFY(!p.reglages->sorties());
    QCOMPARE(p.v.SortieA[0].nom, std::string("Spot A0"));
    QCOMPARE(ctl<QCheckBox>(p.fenetre.get(), "Check1[0]")->text(), QString("Spot A0"));
    QVERIFY(!QFile::exists(config()));
    QCOMPARE(p.port.writes.size(), size_t(14));

    w = p.ouvrir("Command2");
    QCOMPARE(ctl<QLineEdit>(w, "Text1[0]")->text(), QString("Spot A0"));
    QVERIFY(ctl<QCheckBox>(w, "Check2[3]")->isChecked());
    QVERIFY(!ctl<QCheckBox>(w, "Check2[2]")->isChecked());
    w->close();  // the close box is "Annuler"
    QTRY_VERIFY(!p.reglages->sorties());

    // "Initialisation" clears the flags: the next opening shows every box cleared.
    cliquer(p.fenetre.get(), "Command8");
    w = p.ouvrir("Command2");
    QVERIFY(!ctl<QCheckBox>(w, "Check2[3]")->isChecked());
}

void FenetresConfigurationTest::applyingButtonsAtOnceUnassignsAll() {
    {
        Programme p(dossier_->path());
        QCOMPARE(p.legende(0), QString("Spot A0"));  // every button defaults to output A0
        QWidget* w = p.ouvrir("Command4");
        for (int i = 0; i < 5; ++i) {
            auto* c = ctl<QComboBox>(w, QStringLiteral("Combo1[%1]").arg(i));
            QCOMPARE(c->count(), 16);
            QCOMPARE(c->currentIndex(), -1);
            QCOMPARE(c->currentText(), QString());
            QCOMPARE(c->itemText(8), QString("Spot B0"));
        }
        cliquer(w, "Command2");
        QTRY_VERIFY(!p.reglages->boutons());
        for (int k = 0; k < 5; ++k) QCOMPARE(p.legende(k), QStringLiteral("bouton %1").arg(k + 1));
        QCOMPARE(lire(config()), QByteArray("[Boutons]\r\nBouton1=-1\r\nBouton2=-1\r\nBouton3=-1\r\nBouton4=-1\r\n"
                                            "Bouton5=-1\r\n"));
    }
    Programme p(dossier_->path());
    const QStringList integrees = {"Chenillard", "Slow", "Inversé", "Bouton 4", "Bouton 5"};
    for (int k = 0; k < 5; ++k) QCOMPARE(p.legende(k), integrees[k]);
}

void FenetresConfigurationTest::chosenEntriesSaveTheirOutputNumber() {
    ecrire(config(), "[Sorties]\r\nB 0=Laser\r\nB 7=Stroboscope\r\n");
    {
        Programme p(dossier_->path());
        QWidget* w = p.ouvrir("Command4");
        ctl<QComboBox>(w, "Combo1[0]")->setCurrentIndex(8);
        ctl<QComboBox>(w, "Combo1[2]")->setCurrentIndex(8);
        ctl<QComboBox>(w, "Combo1[4]")->setCurrentIndex(15);
        ctl<QComboBox>(w, "Combo1[3]")->setCurrentIndex(0);
        cliquer(w, "Command2");
        const QStringList attendues = {"Laser", "bouton 2", "Laser", "Spot A0", "Stroboscope"};
        for (int k = 0; k < 5; ++k) QCOMPARE(p.legende(k), attendues[k]);
        QVERIFY(lire(config()).endsWith("[Boutons]\r\nBouton1=8\r\nBouton2=-1\r\nBouton3=8\r\nBouton4=0\r\n"
                                        "Bouton5=15\r\n"));
    }
    Programme p(dossier_->path());
    const QStringList attendues = {"Laser", "Slow", "Laser", "Spot A0", "Stroboscope"};
    for (int k = 0; k < 5; ++k) QCOMPARE(p.legende(k), attendues[k]);
}

void FenetresConfigurationTest::optionsApplyRewritesKeysAndSetsChaserPeriod() {
    const QString modes = disque_->filePath("musique");
    ecrire(modes + "/fete.lum", "");
    ecrire(config(), ("[Options]\r\nTemps_timer=150\r\nrepertoire=" + modes + "\r\n").toUtf8());
    Programme p(dossier_->path());
    // A mode chosen on the main window since the last save reaches the file at the next "Appliquer".
    auto* liste = ctl<ListeFichiers>(p.fenetre.get(), "File1");
    QCOMPARE(liste->count(), 1);
    doubleCliquer(liste->viewport(), liste->visualItemRect(liste->item(0)).center());
    QCOMPARE(p.v.fichierLUM, std::string("fete.lum"));
    QCOMPARE(p.timer("Timer2")->interval(), 30);

    QWidget* w = p.ouvrir("Command7");
    QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QString("150"));
    QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), modes);
    QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QString("60"));
    QSignalSpy listes(p.marche.get(), &Marche::listesActualisees);
    cliquer(w, "Command1");
    QCOMPARE(p.timer("Timer2")->interval(), 60);
    QVERIFY(!p.timer("Timer2")->isEnabled());
    QCOMPARE(listes.size(), 1);
    QCOMPARE(lire(config()),
             ("[Options]\r\nTemps_timer=150\r\nrepertoire=" + modes + "\r\nfichierLUM=fete.lum\r\n").toUtf8());
    QTRY_VERIFY(!p.reglages->options());

    // The chaser box shows 60 at every opening, whatever period was applied; the refresh period
    // reaches the timer at the next start.
    w = p.ouvrir("Command7");
    taper(w, "Text3", "100");
    taper(w, "Text1", "250");
    cliquer(w, "Command1");
    QCOMPARE(p.timer("Timer2")->interval(), 100);
    QTRY_VERIFY(!p.reglages->options());
    w = p.ouvrir("Command7");
    QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QString("60"));
    QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QString("250"));
    cliquer(p.fenetre.get(), "Command3");
    QCOMPARE(p.timer("Timer1")->interval(), 250);
    cliquer(p.fenetre.get(), "Command3");
}

namespace {

// The lamp outputs opened by the program, as doubles that remember their settings and their closing.
struct Sorties {
    struct Ouverte : RecordingPort {
        Ouverte(ReglagesPort r, int& fermees) : reglages(std::move(r)), fermees_(fermees) {}
        ~Ouverte() override { ++fermees_; }
        ReglagesPort reglages;
        int& fermees_;
    };
    PortCommutable commutable{[this](const ReglagesPort& r) {
        auto sortie = std::make_unique<Ouverte>(r, fermees);
        derniere = sortie.get();
        ++ouvertes;
        return sortie;
    }};
    Ouverte* derniere = nullptr;
    int ouvertes = 0;
    int fermees = 0;
};

}  // namespace

void FenetresConfigurationTest::lampOutputAppliedDuringARunSwitchesToOlaAtOnce() {
    const QByteArray avant = "[Options]\r\nTemps_timer=20\r\n";
    ecrire(config(), avant);
    Sorties sorties;
    Programme p(dossier_->path(), {QStringLiteral("/")}, &sorties.commutable);
    p.reglages->setSortieAppliquee([&](const ReglagesPort& r) { sorties.commutable.ouvrir(r); });
    sorties.commutable.ouvrir(ChargerPort(config().toStdString()));
    QCOMPARE(sorties.derniere->reglages.sortie, ReglagesPort::Sortie::Parallele);
    Sorties::Ouverte* parallele = sorties.derniere;

    // Opened before the run (the settings buttons rest while it runs), applied during it.
    QWidget* w = p.ouvrir("Sortie des lampes");
    QVERIFY(w);
    QVERIFY(!ctl(w, "Text5")->isEnabled());  // the fade belongs to OLA
    cliquer(p.fenetre.get(), "Command3");
    QVERIFY(p.v.enMarche);
    QTRY_VERIFY(!parallele->writes.empty());

    choisir(w, "Option1[1]");
    QVERIFY(ctl(w, "Text5")->isEnabled());
    QVERIFY(!ctl(w, "Text1")->isEnabled());
    cliquer(w, "Check1");
    taper(w, "Text5", "300");
    taper(w, "Text3", "5");
    cliquer(w, "Command1");
    QTRY_VERIFY(!p.reglages->sortieDesLampes());

    QCOMPARE(sorties.ouvertes, 2);
    QCOMPARE(sorties.fermees, 1);  // the parallel port is closed, not left beside
    ReglagesPort attendu;
    attendu.sortie = ReglagesPort::Sortie::Ola;
    attendu.canal = 5;
    attendu.niveaux = true;
    attendu.descente = 300;
    QVERIFY(sorties.derniere->reglages == attendu);
    // The run goes on into the new output, with the levels of each sequence.
    QTRY_VERIFY(sorties.derniere->writes.size() >= 16);
    QVERIFY(!sorties.derniere->niveauxRecus.empty());
    QVERIFY(p.v.enMarche);
    QCOMPARE(lire(config()), avant + "[Port]\r\nSortie=ola\r\nCanal=5\r\nNiveaux=1\r\nDescente=300\r\n");
    for (const auto& m : p.messages.boxes) QVERIFY2(m.genre == "signaler", qPrintable(m.texte));  // silence told once
    cliquer(p.fenetre.get(), "Command3");
    // The next start reads the same settings back into the window.
    Programme suivant(dossier_->path());
    w = suivant.ouvrir("Sortie des lampes");
    QVERIFY(ctl<QRadioButton>(w, "Option1[1]")->isChecked());
    QVERIFY(ctl<QCheckBox>(w, "Check1")->isChecked());
    QCOMPARE(ctl<QLineEdit>(w, "Text5")->text(), QString("300"));
}

void FenetresConfigurationTest::lampOutputRefusesBadValuesNamingTheFieldAndCancelChangesNothing_data() {
    QTest::addColumn<QString>("champ");
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<QString>("message");
    QTest::newRow("no device") << "Text1" << " " << "Peripherique";
    QTest::newRow("universe") << "Text2" << "-1" << "Univers doit être un nombre entier, de 0 à 4294967295.";
    QTest::newRow("channel past the end") << "Text3" << "498" << "de 1 à 497";
    QTest::newRow("channel zero") << "Text3" << "0" << "Canal";
    QTest::newRow("olad's port") << "Text4" << "65536" << "PortOLA (le port des clients de olad) doit être";
    QTest::newRow("fade too long") << "Text5" << "10001"
                                   << "Descente doit être un nombre entier de millisecondes, de 0 à 10000.";
    QTest::newRow("fade in letters") << "Text5" << "3OO" << "Descente";
}

void FenetresConfigurationTest::lampOutputRefusesBadValuesNamingTheFieldAndCancelChangesNothing() {
    QFETCH(QString, champ);
    QFETCH(QString, saisie);
    QFETCH(QString, message);
    const QByteArray avant = "[Port]\r\nSortie=ola\r\n";
    ecrire(config(), avant);
    Sorties sorties;
    Programme p(dossier_->path(), {QStringLiteral("/")}, &sorties.commutable);
    p.reglages->setSortieAppliquee([&](const ReglagesPort& r) { sorties.commutable.ouvrir(r); });
    QWidget* w = p.ouvrir("Sortie des lampes");
    if (champ == "Text1") choisir(w, "Option1[0]");
    taper(w, champ, saisie);
    cliquer(w, "Command1");
    QCOMPARE(p.messages.boxes.size(), 1);
    QVERIFY2(p.messages.boxes[0].texte.contains(message), qPrintable(p.messages.boxes[0].texte));
    QCOMPARE(p.messages.boxes[0].titre, QString("Sortie des lampes"));
    QVERIFY(w->isVisible());
    QCOMPARE(w->focusWidget(), ctl(w, champ));
    QCOMPARE(sorties.ouvertes, 0);
    QCOMPARE(lire(config()), avant);

    // "Annuler" leaves the output and the file as they were.
    choisir(w, "Option1[0]");
    QVERIFY(ctl<QRadioButton>(w, "Option1[0]")->isChecked());
    cliquer(w, "Command2");
    QTRY_VERIFY(!p.reglages->sortieDesLampes());
    QCOMPARE(sorties.ouvertes, 0);
    QCOMPARE(lire(config()), avant);
}

void FenetresConfigurationTest::optionsStoreTheSoundAnalysis() {
    const QByteArray avant = "[Options]\r\nTemps_timer=150\r\nrepertoire=" + dossier_->path().toUtf8() + "\r\nfichierLUM=\r\n";
    ecrire(config(), avant);
    {
        Programme p(dossier_->path());
        QWidget* w = p.ouvrir("Command7");
        QVERIFY(ctl<QRadioButton>(w, "Option1[0]")->isChecked());
        QVERIFY(!ctl<QCheckBox>(w, "Check1")->isChecked());
        QVERIFY(!ctl<QCheckBox>(w, "Check2")->isChecked());
        // Applied untouched, a file without the section stays as it was.
        cliquer(w, "Command1");
        QCOMPARE(lire(config()), avant);
        QTRY_VERIFY(!p.reglages->options());

        w = p.ouvrir("Command7");
        cliquer(w, "Option1[1]");
        cliquer(w, "Check1");
        cliquer(w, "Check2");
        cliquer(w, "Command2");  // "Annuler"
        QCOMPARE(p.v.analyse, ReglagesAnalyse{});
        QTRY_VERIFY(!p.reglages->options());

        w = p.ouvrir("Command7");
        QVERIFY(ctl<QRadioButton>(w, "Option1[0]")->isChecked());
        cliquer(w, "Option1[1]");
        cliquer(w, "Check1");
        cliquer(w, "Check2");
        cliquer(w, "Command1");
        QCOMPARE(p.v.analyse, (ReglagesAnalyse{true, true, true}));
        QCOMPARE(lire(config()), avant + "[Analyse]\r\nBandes=1\r\nGainAuto=1\r\nRythme=1\r\n");
    }
    // The next start shows them again.
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command7");
    QVERIFY(ctl<QRadioButton>(w, "Option1[1]")->isChecked());
    QVERIFY(ctl<QCheckBox>(w, "Check1")->isChecked());
    QVERIFY(ctl<QCheckBox>(w, "Check2")->isChecked());
}

// The mode editor's "Add" changes the save folder while the options window is open.
void FenetresConfigurationTest::optionsShowAFolderChangedElsewhere() {
    const QString modes = disque_->filePath("musique"), soirees = disque_->filePath("musique/soirees");
    ecrire(config(), ("[Options]\r\nTemps_timer=150\r\nrepertoire=" + modes + "\r\n").toUtf8());
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command7");
    p.v.repertoire = soirees.toStdString();
    p.marche->ActualiserListes();
    QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), soirees);
    cliquer(w, "Command1");
    QCOMPARE(p.v.repertoire, soirees.toStdString());
    QVERIFY(lire(config()).contains(("repertoire=" + soirees + "\r\n").toUtf8()));

    // A folder the operator typed stays what they typed; a folder too long to keep is refused.
    w = p.ouvrir("Command7");
    taper(w, "Text2", modes);
    p.v.repertoire = "/ailleurs";
    p.marche->ActualiserListes();
    QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), modes);
    const QString long_ = "/" + QString(255, QLatin1Char('d'));
    taper(w, "Text2", long_);
    cliquer(w, "Command1");
    QVERIFY(w->isVisible());
    QCOMPARE(p.messages.boxes.size(), 1);
    QVERIFY(p.messages.boxes[0].texte.contains("255"));
    QCOMPARE(p.v.repertoire, std::string("/ailleurs"));
    taper(w, "Text2", modes);
    cliquer(w, "Command1");
    QCOMPARE(p.v.repertoire, modes.toStdString());
}

void FenetresConfigurationTest::badPeriodsAreRefused_data() {
    QTest::addColumn<QString>("rafraichissement");
    QTest::addColumn<QString>("chenillard");
    QTest::addColumn<QString>("message");
    const QString r = "Le temps de rafraichissement doit être un nombre entier de millisecondes, de 1 à 32767.";
    const QString c =
        "Le temps de rafraichissement chenillard doit être un nombre entier de millisecondes, de 1 à 65535.";
    QTest::newRow("letters") << "abc" << "60" << r;
    QTest::newRow("empty") << "" << "60" << r;
    QTest::newRow("blanks") << "   " << "60" << r;
    QTest::newRow("fraction") << "12.5" << "60" << r;
    QTest::newRow("comma") << "12,5" << "60" << r;
    QTest::newRow("negative") << "-5" << "60" << r;
    QTest::newRow("plus sign") << "+5" << "60" << r;
    QTest::newRow("zero") << "0" << "60" << r;
    QTest::newRow("above 16 bits") << "32768" << "60" << r;
    QTest::newRow("huge") << "99999999999" << "60" << r;
    QTest::newRow("inner blank") << "2 00" << "60" << r;
    QTest::newRow("other digits") << "٢٠٠" << "60" << r;
    QTest::newRow("chaser too large") << "200" << "65536" << c;
    QTest::newRow("chaser zero") << "200" << "0" << c;
    QTest::newRow("chaser letters") << "200" << "6O" << c;
    QTest::newRow("chaser negative") << "200" << "-60" << c;
    QTest::newRow("both bad: refresh first") << "x" << "y" << r;
}

void FenetresConfigurationTest::badPeriodsAreRefused() {
    QFETCH(QString, rafraichissement);
    QFETCH(QString, chenillard);
    QFETCH(QString, message);
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command7");
    taper(w, "Text1", rafraichissement);
    taper(w, "Text3", chenillard);
    taper(w, "Text2", "/ailleurs");
    QSignalSpy listes(p.marche.get(), &Marche::listesActualisees);
    cliquer(w, "Command1");
    QCOMPARE(p.messages.boxes.size(), 1);
    QCOMPARE(p.messages.boxes[0].texte, message);
    QCOMPARE(p.messages.boxes[0].titre, QString("Options"));
    QVERIFY(w->isVisible());
    QCOMPARE(p.v.Temps_timer, Entier(200));
    QCOMPARE(p.v.repertoire, dossier_->path().toStdString());
    QCOMPARE(p.timer("Timer2")->interval(), 30);
    QCOMPARE(listes.size(), 0);
    QVERIFY(!QFile::exists(config()));
}

void FenetresConfigurationTest::goodPeriodsAreTakenWithoutBlanks_data() {
    QTest::addColumn<QString>("rafraichissement");
    QTest::addColumn<QString>("chenillard");
    QTest::addColumn<int>("periode");
    QTest::addColumn<int>("periodeChenillard");
    QTest::newRow("blanks around") << " 250 " << "\t75  " << 250 << 75;
    QTest::newRow("largest") << "32767" << "65535" << 32767 << 65535;
    QTest::newRow("smallest, leading zeros") << "001" << "0001" << 1 << 1;
}

void FenetresConfigurationTest::goodPeriodsAreTakenWithoutBlanks() {
    QFETCH(QString, rafraichissement);
    QFETCH(QString, chenillard);
    QFETCH(int, periode);
    QFETCH(int, periodeChenillard);
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command7");
    ctl<QLineEdit>(w, "Text1")->setText(rafraichissement);
    ctl<QLineEdit>(w, "Text3")->setText(chenillard);
    cliquer(w, "Command1");
    QVERIFY(p.messages.boxes.isEmpty());
    QCOMPARE(int(p.v.Temps_timer), periode);
    QCOMPARE(p.timer("Timer2")->interval(), periodeChenillard);
    QVERIFY(lire(config()).contains(QStringLiteral("Temps_timer=%1\r\n").arg(periode).toLatin1()));
}

void FenetresConfigurationTest::chosenDeviceIsOpenedAtNextStart() {
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir("Command7");
    auto* cartes = ctl<QComboBox>(w, "DevicesBox");
    QCOMPARE(cartes->count(), 2);
    QCOMPARE(cartes->itemText(1), QString("Ligne"));
    cartes->setFocus();
    QTest::keyClick(cartes, Qt::Key_Down);
    QCOMPARE(cartes->currentIndex(), 1);
    cliquer(w, "Command2");  // "Annuler" does not undo the choice of device
    QTRY_VERIFY(!p.reglages->options());
    cliquer(p.fenetre.get(), "Command3");
    QCOMPARE(p.entree.openedDevices, std::vector<int>{2});  // "Ligne" is device 2
    cliquer(p.fenetre.get(), "Command3");
    w = p.ouvrir("Command7");
    QCOMPARE(ctl<QComboBox>(w, "DevicesBox")->currentIndex(), 1);
}

void FenetresConfigurationTest::appliedDeviceIsChosenByNameAtTheNextStart() {
    {
        Programme p(dossier_->path());
        QWidget* w = p.ouvrir("Command7");
        auto* cartes = ctl<QComboBox>(w, "DevicesBox");
        cartes->setFocus();
        QTest::keyClick(cartes, Qt::Key_Down);
        cliquer(w, "Command1");
        QVERIFY(lire(config()).contains("Carte=Ligne\r\n"));
    }
    {
        // The next start finds it by its name, though the list has changed since.
        Programme p(dossier_->path());
        QCOMPARE(p.marche->carteChoisie(), 1);
        cliquer(p.fenetre.get(), "Command3");
        QCOMPARE(p.entree.openedDevices, std::vector<int>{2});
        cliquer(p.fenetre.get(), "Command3");
        QVERIFY(p.messages.boxes.isEmpty());
    }
    // Unplugged: the first card, and one notice at the first "Lancement" naming the missing one.
    ecrire(config(), "[Options]\r\nCarte=Carte USB\r\n");
    Programme p(dossier_->path());
    QCOMPARE(p.marche->carteChoisie(), 0);
    for (int i = 0; i < 2; ++i) {
        cliquer(p.fenetre.get(), "Command3");
        cliquer(p.fenetre.get(), "Command3");
    }
    QCOMPARE(p.entree.openedDevices, (std::vector<int>{1, 1}));
    QCOMPARE(p.messages.boxes.size(), 1);
    QCOMPARE(p.messages.boxes[0].genre, QString("signaler"));
    QVERIFY(p.messages.boxes[0].texte.contains("« Carte USB »"));
    QVERIFY(p.messages.boxes[0].texte.contains("« Micro »"));
    QCOMPARE(lire(config()), QByteArray("[Options]\r\nCarte=Carte USB\r\n"));
}

void FenetresConfigurationTest::savedCardPluggedInLaterIsChosen_data() {
    QTest::addColumn<bool>("parLesOptions");
    QTest::newRow("at the next Lancement") << false;
    QTest::newRow("at the next opening of the options") << true;
}

// A saved card missing at the start and plugged in since is chosen again, unless another was applied.
void FenetresConfigurationTest::savedCardPluggedInLaterIsChosen() {
    QFETCH(bool, parLesOptions);
    ecrire(config(), "[Options]\r\nCarte=Carte USB\r\n");
    Programme p(dossier_->path());
    QCOMPARE(p.marche->carteChoisie(), 0);
    p.cartes.list.push_back({"Carte USB", true});  // device 3
    if (parLesOptions) {
        QWidget* w = p.ouvrir("Command7");
        QCOMPARE(ctl<QComboBox>(w, "DevicesBox")->currentText(), QString("Carte USB"));
        cliquer(w, "Command2");
        QTRY_VERIFY(!p.reglages->options());
    }
    cliquer(p.fenetre.get(), "Command3");
    cliquer(p.fenetre.get(), "Command3");
    QCOMPARE(p.entree.openedDevices, std::vector<int>{3});
    QVERIFY(p.messages.boxes.isEmpty());  // nothing missing to tell
    // Looked for while it was missing only: a listing that looks for new devices costs more.
    QCOMPARE(p.cartes.recherches, 1);
    cliquer(p.fenetre.get(), "Command3");
    cliquer(p.fenetre.get(), "Command3");
    QCOMPARE(p.cartes.recherches, 1);
    QCOMPARE(lire(config()), QByteArray("[Options]\r\nCarte=Carte USB\r\n"));

    // Another card applied while the saved one was missing is kept when the old one comes back.
    ecrire(config(), "[Options]\r\nCarte=Carte USB\r\n");
    Programme q(dossier_->path());
    QWidget* w = q.ouvrir("Command7");
    auto* cartes = ctl<QComboBox>(w, "DevicesBox");
    cartes->setFocus();
    QTest::keyClick(cartes, Qt::Key_Down);
    cliquer(w, "Command1");
    QVERIFY(lire(config()).contains("Carte=Ligne\r\n"));
    q.cartes.list.push_back({"Carte USB", true});
    cliquer(q.fenetre.get(), "Command3");
    QCOMPARE(q.entree.openedDevices, std::vector<int>{2});
}

void FenetresConfigurationTest::pickedFolderThenCancelLeavesSaveFolder() {
    Programme p(dossier_->path(), {"/", disque_->path()});
    QWidget* options = p.ouvrir("Command7");
    cliquer(options, "Command3");
    frmFolder* picker = p.reglages->selecteurDossier();
    QVERIFY(picker && picker->isVisible());
    QVERIFY(options->isVisible());
    auto* drv = ctl<QComboBox>(picker, "drv");
    QCOMPARE(drv->currentText(), disque_->path());
    auto* fld = ctl<ListeDossiers>(picker, "fld");
    QCOMPARE(fld->chemin(), disque_->path());

    const QString soirees = disque_->filePath("musique/soirees");
    ouvrirDossier(fld, disque_->filePath("musique"));
    ouvrirDossier(fld, soirees);
    QCOMPARE(fld->chemin(), soirees);
    // A single click only highlights: the folder handed over is the one the list has open.
    fld->setCurrentRow(0);
    QTest::mouseClick(fld->viewport(), Qt::LeftButton, {}, fld->visualItemRect(fld->item(0)).center());
    cliquer(picker, "cmdOK");
    QVERIFY(!picker->isVisible());
    QCOMPARE(p.reglages->selecteurDossier(), picker);  // hidden, not destroyed
    QCOMPARE(ctl<QLineEdit>(options, "Text2")->text(), soirees);

    cliquer(options, "Command2");
    QCOMPARE(p.v.repertoire, dossier_->path().toStdString());
    QVERIFY(!QFile::exists(config()));
}

void FenetresConfigurationTest::pickerAppliedWithOptionsClosedCreatesItHidden() {
    ecrire(disque_->filePath("bal.lum"), "");
    Programme p(dossier_->path(), {"/", disque_->path()});
    QWidget* options = p.ouvrir("Command7");
    taper(options, "Text1", "300");  // lost with the window
    cliquer(options, "Command3");
    cliquer(options, "Command2");
    QTRY_VERIFY(!p.reglages->options());

    // Without browsing, the picker hands over the program's current folder.
    QTest::keyClick(p.reglages->selecteurDossier(), Qt::Key_Return);
    QVERIFY(p.reglages->options());
    QVERIFY(!p.reglages->options()->isVisible());
    QWidget* cachee = p.reglages->options();
    options = p.ouvrir("Command7");
    QCOMPARE(options, cachee);
    QCOMPARE(ctl<QLineEdit>(options, "Text2")->text(), disque_->path());
    QCOMPARE(ctl<QLineEdit>(options, "Text1")->text(), QString("200"));
    cliquer(options, "Command1");
    QCOMPARE(p.v.repertoire, disque_->path().toStdString());
    QCOMPARE(ctl<ListeFichiers>(p.fenetre.get(), "File1")->item(0)->text(), QString("bal.lum"));
}

void FenetresConfigurationTest::hiddenPickerKeepsItsFolderAndCloseBoxStartsAfresh() {
    Programme p(dossier_->path(), {"/", disque_->path()});
    QWidget* options = p.ouvrir("Command7");
    cliquer(options, "Command3");
    frmFolder* picker = p.reglages->selecteurDossier();
    ouvrirDossier(ctl<ListeDossiers>(picker, "fld"), disque_->filePath("photos"));
    cliquer(picker, "cmdCancel");
    QVERIFY(!picker->isVisible());
    QCOMPARE(ctl<QLineEdit>(options, "Text2")->text(), dossier_->path());

    cliquer(options, "Command3");
    QCOMPARE(p.reglages->selecteurDossier(), picker);
    QVERIFY(picker->isVisible());
    QCOMPARE(picker->dossier(), disque_->filePath("photos"));
    QTest::keyClick(picker, Qt::Key_Escape);  // Escape is "Annuler"
    QVERIFY(!picker->isVisible());
    QCOMPARE(p.reglages->selecteurDossier(), picker);

    cliquer(options, "Command3");
    picker->close();  // the close box destroys it
    QTRY_VERIFY(!p.reglages->selecteurDossier());
    QCOMPARE(ctl<QLineEdit>(options, "Text2")->text(), dossier_->path());
    cliquer(options, "Command3");
    QVERIFY(p.reglages->selecteurDossier());
    QCOMPARE(p.reglages->selecteurDossier()->dossier(), disque_->path());
}

void FenetresConfigurationTest::unreadableDriveKeepsThePreviousOne() {
    QTemporaryDir autre;
    QVERIFY(QDir(autre.path()).mkpath("cle"));
    const QString perdu = disque_->filePath("partage-perdu");
    Programme p(dossier_->path(), {"/", disque_->path(), perdu, autre.path()});
    cliquer(p.ouvrir("Command7"), "Command3");
    frmFolder* picker = p.reglages->selecteurDossier();
    auto* drv = ctl<QComboBox>(picker, "drv");
    auto* fld = ctl<ListeDossiers>(picker, "fld");
    ouvrirDossier(fld, disque_->filePath("photos"));

    drv->setCurrentIndex(2);
    QCOMPARE(p.messages.boxes.size(), 1);
    QCOMPARE(p.messages.boxes[0].texte, QStringLiteral("Le lecteur « %1 » ne peut pas être lu. Le lecteur « %2 » "
                                                       "reste choisi.")
                                            .arg(perdu, disque_->path()));
    QCOMPARE(p.messages.boxes[0].titre, QString("Sélection du repertoire"));
    QCOMPARE(drv->currentIndex(), 1);
    QCOMPARE(fld->chemin(), disque_->filePath("photos"));

    // Another drive opens at its root; coming back finds the folder left open there.
    drv->setCurrentIndex(3);
    QCOMPARE(fld->chemin(), autre.path());
    ouvrirDossier(fld, autre.filePath("cle"));
    drv->setCurrentIndex(1);
    QCOMPARE(fld->chemin(), disque_->filePath("photos"));
    drv->setCurrentIndex(3);
    QCOMPARE(fld->chemin(), autre.filePath("cle"));
    QCOMPARE(p.messages.boxes.size(), 1);
}

void FenetresConfigurationTest::failedSaveKeepsTheWindowAndItsEdits_data() {
    QTest::addColumn<QString>("bouton");
    QTest::addColumn<QString>("appliquer");
    QTest::addColumn<QString>("champ");
    QTest::newRow("outputs") << "Command2" << "Command1" << "Text1[0]";
    QTest::newRow("buttons") << "Command4" << "Command2" << "";
    QTest::newRow("options") << "Command7" << "Command1" << "Text2";
}

void FenetresConfigurationTest::failedSaveKeepsTheWindowAndItsEdits() {
    QFETCH(QString, bouton);
    QFETCH(QString, appliquer);
    QFETCH(QString, champ);
    QVERIFY(QDir(dossier_->path()).mkdir("Config.ini"));  // cannot be replaced by a file
    Programme p(dossier_->path());
    QWidget* w = p.ouvrir(bouton);
    if (!champ.isEmpty()) taper(w, champ, "/nouveau");
    cliquer(w, appliquer);
    QCOMPARE(p.messages.boxes.size(), 1);
    QVERIFY2(p.messages.boxes[0].texte.startsWith("Impossible d'enregistrer " + config()),
             qPrintable(p.messages.boxes[0].texte));
    QCOMPARE(p.messages.boxes[0].titre, w->windowTitle());
    QVERIFY(w->isVisible());
    if (!champ.isEmpty()) QCOMPARE(ctl<QLineEdit>(w, champ)->text(), QString("/nouveau"));
}

void FenetresConfigurationTest::drivesFromTheMountTable_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("personnel");
    QTest::addColumn<QStringList>("attendus");
    QTest::newRow("desktop") << QByteArray("/dev/nvme0n1p2 / ext4 rw 0 0\n"
                                           "proc /proc proc rw 0 0\n"
                                           "sysfs /sys sysfs rw 0 0\n"
                                           "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                                           "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
                                           "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                                           "portal /run/user/1000/doc fuse.portal rw 0 0\n"
                                           "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                                           "/dev/sdc1 /media/anne/CLE\\040USB vfat rw 0 0\n"
                                           "/dev/sdd1 /run/media/anne/DISQUE ext4 rw 0 0\n"
                                           "//nas/partage /mnt/nas cifs rw 0 0\n"
                                           "nas:/export /home/anne/nas nfs4 rw 0 0\n"
                                           "/dev/sde1 /data xfs rw 0 0\n")
                             << "/home/anne"
                             << QStringList{"/", "/home/anne", "/media/anne/CLE USB", "/run/media/anne/DISQUE",
                                            "/mnt/nas", "/home/anne/nas", "/data"};
    QTest::newRow("container") << QByteArray("overlay / overlay rw 0 0\n"
                                             "tmpfs /dev tmpfs rw 0 0\n"
                                             "/dev/sda1 /etc/hosts ext4 rw 0 0\n"
                                             "/dev/sda1 /work ext4 rw 0 0\n"
                                             "/dev/sda1 /work ext4 rw 0 0\n")
                               << "/root" << QStringList{"/", "/root", "/work"};
    QTest::newRow("no table, home is root") << QByteArray("garbage\n\n") << "/" << QStringList{"/"};
}

void FenetresConfigurationTest::drivesFromTheMountTable() {
    QFETCH(QByteArray, table);
    QFETCH(QString, personnel);
    QFETCH(QStringList, attendus);
    QCOMPARE(lecteurs(table, personnel), attendus);
}

void FenetresConfigurationTest::driveOfAFolder() {
    const QStringList l = {"/", "/home/anne", "/home/anne/nas"};
    QCOMPARE(lecteurDe(l, "/home/anne/nas/fetes"), QString("/home/anne/nas"));
    QCOMPARE(lecteurDe(l, "/home/anne"), QString("/home/anne"));
    QCOMPARE(lecteurDe(l, "/home/annex"), QString("/"));
    QCOMPARE(lecteurDe({"/data"}, "relatif"), QString());
}

void FenetresConfigurationTest::remoteButtonAsksTheEntryPointForItsWindow() {
    Programme p(dossier_->path());
    QSignalSpy demandes(p.reglages.get(), &FenetresConfiguration::telecommandeDemandee);
    QWidget* options = p.ouvrir("Command7");
    cliquer(options, "Command4");
    QCOMPARE(demandes.size(), 1);
    // Only a request: the options window stays as it was, nothing written.
    QVERIFY(options->isVisible());
    QVERIFY(!QFile::exists(config()));
}

// Only what a person reads follows the language: each window's "Appliquer" writes the same bytes
// in English as in French.
void FenetresConfigurationTest::savesAreTheSameInEveryLanguage() {
    const QString modes = disque_->filePath("musique");
    ecrire(modes + "/fete.lum", "");
    QByteArray ecrit[2];
    for (const bool anglais : {false, true}) {
        ecrire(config(), ("[Options]\r\nTemps_timer=150\r\nrepertoire=" + modes + "\r\n[Sorties]\r\nB 0=Laser\r\n").toUtf8());
        Traductions en(QStringLiteral("en"));
        if (anglais) en.installer();
        Programme p(dossier_->path());
        QCOMPARE(ctl<QPushButton>(p.fenetre.get(), "Command3")->text() == QStringLiteral("Lancement"), !anglais);
        cliquer(p.ouvrir("Command2"), "Command1");
        QWidget* boutons = p.ouvrir("Command4");
        ctl<QComboBox>(boutons, "Combo1[0]")->setCurrentIndex(8);
        ctl<QComboBox>(boutons, "Combo1[1]")->setCurrentIndex(0);
        cliquer(boutons, "Command2");
        QWidget* options = p.ouvrir("Command7");
        ctl<QComboBox>(options, "DevicesBox")->setCurrentIndex(1);
        ctl<QCheckBox>(options, "Check1")->setChecked(true);
        cliquer(options, "Command1");
        QTRY_VERIFY(!p.reglages->options());
        QWidget* lampes = p.ouvrir("Sortie des lampes");
        ctl<QRadioButton>(lampes, "Option1[1]")->setChecked(true);  // OLA: only a change is written to [Port]
        cliquer(lampes, "Command1");
        QTRY_VERIFY(!p.reglages->sortieDesLampes());
        QVERIFY(p.messages.boxes.isEmpty());
        ecrit[anglais] = lire(config());
    }
    QVERIFY(ecrit[0].contains("[Boutons]") && ecrit[0].contains("Carte=") && ecrit[0].contains("[Port]"));
    QCOMPARE(ecrit[1], ecrit[0]);
}

QTEST_MAIN(FenetresConfigurationTest)
#include "FenetresConfigurationTest.moc"
