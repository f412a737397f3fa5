#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>
#include <memory>
#include <sstream>

#include "app/EditeurModes.h"
#include "doubles/FakeAudio.h"
#include "doubles/FileDialogsEnregistres.h"
#include "doubles/MessagesEnregistres.h"
#include "doubles/RecordingPort.h"
#include "doubles/TemporaryFolder.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "modes/Config_modes.h"
#include "modes/FichierModes.h"
#include "translations/Langue.h"
#include "ui/Controles.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

constexpr std::uint32_t DONNEES = 0x378;

// The main window and the mode editor's owner wired as the entry point wires them, over the
// doubles; the save folder holds fete.lum, the current mode, in which B1 follows bar 1 above 60.
struct Banc {
    explicit Banc(int tempsTimer = 200) {
        Variables mode;
        mode.SortieB[1].active = VRAI;
        mode.SortieB[1].sens[1] = 2;
        mode.SortieB[1].seuil[1] = 60;
        std::ostringstream octets;
        ecrireModes(mode, octets);
        TemporaryFolder::write(modes.file("fete.lum"), octets.str());
        TemporaryFolder::write(modes.file("calme.lum"), "\"vide\"\r\n");
        TemporaryFolder::write(programme.file("Config.ini"), "[Options]\r\nTemps_timer=" + std::to_string(tempsTimer) +
                                                                 "\r\nrepertoire=" + modes.path() +
                                                                 "\r\nfichierLUM=fete.lum\r\n");
        cartes.list = {{"Micro", true}};
        marche = std::make_unique<Marche>(v, cartes, entree, port, messages, Emplacements::ensemble(programme.path()));
        principale = std::make_unique<FPrincipale>(*marche, messages);
        editeur = std::make_unique<EditeurModes>(v, *principale, messages, dialogues);
    }
    ~Banc() {
        editeur.reset();  // as at the end of the run: the editor before the main window
        principale.reset();
    }
    Config_modes* fenetre() { return editeur->fenetre(); }
    template <class T = QWidget>
    T* ctl(QWidget* w, const QString& nom) {
        T* c = w->findChild<T*>(nom);
        if (!c) qFatal("no control %s", qPrintable(nom));
        return c;
    }
    template <class T = QWidget>
    T* ctlEditeur(const QString& nom) {
        return ctl<T>(fenetre(), nom);
    }
    QString labelEditeur() { return ctlEditeur<QLabel>("Label1")->text(); }
    void clic(QWidget* w, const QString& nom) { QTest::mouseClick(ctl(w, nom), Qt::LeftButton); }
    void doubleClic(QWidget* w, const QString& fichier) {
        auto* liste = ctl<ListeFichiers>(w, "File1");
        QListWidgetItem* item = liste->findItems(fichier, Qt::MatchExactly).value(0);
        QVERIFY2(item, qPrintable(fichier));
        const QPoint ou = liste->visualItemRect(item).center();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, ou);
        QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, ou);
    }
    // The group-B byte of the last refresh tick (each tick writes A then B, each with its pulses).
    int dernierOctetB() const {
        if (port.writes.size() < 8) return -1;
        const auto& w = port.writes[port.writes.size() - 5];
        return w.first == DONNEES ? w.second : -1;
    }

    TemporaryFolder modes, programme;
    Variables v;
    FakeAudioDeviceEnumerator cartes;
    FakeAudioInput entree;
    RecordingPort port;
    MessagesEnregistres messages;
    FileDialogsEnregistres dialogues;
    std::unique_ptr<Marche> marche;
    std::unique_ptr<FPrincipale> principale;
    std::unique_ptr<EditeurModes> editeur;
};

}  // namespace

class EditeurModesTest : public QObject {
    Q_OBJECT
private slots:
    void startUpCreatesTheEditorHidden();
    void lifeFromShowingToDestructionAndBack();
    void namesAreReadAtEachCreation();
    void savedThresholdReachesThePortAtTheNextTick();
    void aModePickedInTheMainListShowsInTheOpenEditor();
    void aModeSavedInEnglishIsTheSameFile();
};

void EditeurModesTest::startUpCreatesTheEditorHidden() {
    Banc b;
    QVERIFY(b.principale->Form_Load());
    QVERIFY(b.fenetre());
    QVERIFY(!b.fenetre()->isVisible());
    QCOMPARE(b.labelEditeur(), QString("fete"));  // the start-up sets it after the opening
    QCOMPARE(b.ctlEditeur<ListeFichiers>("File1")->count(), 2);
    QCOMPARE(b.ctlEditeur<QComboBox>("Combo1")->count(), 16);
    QCOMPARE(b.v.SortieB[1].seuil[1], 60);
    QVERIFY(b.messages.boxes.isEmpty());
}

void EditeurModesTest::lifeFromShowingToDestructionAndBack() {
    Banc b;
    QVERIFY(b.principale->Form_Load());
    b.principale->show();
    QPointer<Config_modes> premier = b.fenetre();

    // "Config Modes" shows the existing editor without running the opening again.
    b.ctlEditeur<QComboBox>("Combo1")->setCurrentIndex(9);
    b.clic(b.principale.get(), "Command6");
    QCOMPARE(b.fenetre(), premier.data());
    QVERIFY(premier->isVisible());
    QCOMPARE(premier->findChild<QComboBox*>("Combo1")->currentIndex(), 9);
    QCOMPARE(b.labelEditeur(), QString("fete"));
    const QRect ecran = premier->screen()->availableGeometry();
    QVERIFY(qAbs(premier->frameGeometry().center().x() - ecran.center().x()) <= 1);
    QVERIFY(b.principale->isEnabled());  // the main window stays usable beside it

    // "Quitter" destroys it; the next "Config Modes" creates it, with the name as stored.
    b.clic(premier, "Command3");
    QVERIFY(!b.fenetre());
    QTRY_VERIFY(premier.isNull());
    b.clic(b.principale.get(), "Command6");
    QPointer<Config_modes> second = b.fenetre();
    QVERIFY(second && second->isVisible());
    QCOMPARE(b.labelEditeur(), QString("fete.lum"));
    QCOMPARE(b.ctlEditeur<QComboBox>("Combo1")->currentIndex(), -1);

    // The close box destroys it too; a double click in the main list creates it, hidden.
    second->close();
    QVERIFY(!b.fenetre());
    QTRY_VERIFY(second.isNull());
    b.doubleClic(b.principale.get(), "calme.lum");
    QVERIFY(b.fenetre());
    QVERIFY(!b.fenetre()->isVisible());
    QCOMPARE(b.v.fichierLUM, std::string("calme.lum"));
    QCOMPARE(b.labelEditeur(), QString("calme"));

    // After "Quitter", the next list refresh creates it, hidden, with the name as stored.
    b.clic(b.fenetre(), "Command3");
    QVERIFY(!b.fenetre());
    b.marche->ActualiserListes();
    QVERIFY(b.fenetre());
    QVERIFY(!b.fenetre()->isVisible());
    QCOMPARE(b.labelEditeur(), QString("calme.lum"));
    QCOMPARE(b.ctlEditeur<ListeFichiers>("File1")->count(), 2);
}

void EditeurModesTest::namesAreReadAtEachCreation() {
    Banc b;
    QVERIFY(b.principale->Form_Load());
    b.v.SortieA[0].nom = "Laser";
    b.clic(b.principale.get(), "Command6");
    QCOMPARE(b.ctlEditeur<QComboBox>("Combo1")->itemText(0), QString("Spot A0"));
    b.clic(b.fenetre(), "Command3");
    b.clic(b.principale.get(), "Command6");
    QCOMPARE(b.ctlEditeur<QComboBox>("Combo1")->itemText(0), QString("Laser"));
}

void EditeurModesTest::savedThresholdReachesThePortAtTheNextTick() {
    Banc b(20);
    QVERIFY(b.principale->Form_Load());
    b.principale->show();
    b.clic(b.principale.get(), "Command6");
    Config_modes* e = b.fenetre();
    QVERIFY(QTest::qWaitForWindowExposed(e));

    // Level 50 on bar 1 (byte 20 at 178): below B1's threshold of 60, so B1 stays dark.
    b.entree.queue(128, {{20, 178}});
    b.clic(b.principale.get(), "Command3");  // "Lancement"
    QTRY_COMPARE_WITH_TIMEOUT(b.dernierOctetB(), 0, 10000);

    // B1 is position 9 of the output list: ten steps down from no selection, the first to "Spot A0".
    auto* combo = b.ctl<QComboBox>(e, "Combo1");
    combo->setFocus();
    for (int i = 0; i < 10; ++i) QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QString("Spot B1"));
    auto* seuil = b.ctl<QSlider>(e, "Slider1[1]");
    QCOMPARE(seuil->value(), 60);
    QVERIFY(b.ctl<QRadioButton>(e, "Option2[1]")->isChecked());
    QTest::keyClick(seuil, Qt::Key_PageDown);
    QTest::keyClick(seuil, Qt::Key_PageDown);
    QCOMPARE(seuil->value(), 40);
    b.clic(e, "Command5");  // "Enregistrer"

    QCOMPARE(b.v.SortieB[1].seuil[1], 40);
    QTRY_COMPARE_WITH_TIMEOUT(b.dernierOctetB(), 2, 10000);
    Variables relu;
    relu.repertoire = b.v.repertoire;
    relu.fichierLUM = "fete.lum";
    ChargerModes(relu);
    QCOMPARE(relu.SortieB[1].seuil[1], 40);
    b.clic(b.principale.get(), "Command3");  // "Arret"
}

void EditeurModesTest::aModePickedInTheMainListShowsInTheOpenEditor() {
    Banc b;
    Variables soir;
    soir.SortieB[1].active = VRAI;
    soir.SortieB[1].sens[1] = 1;
    soir.SortieB[1].seuil[1] = 25;
    std::ostringstream octets;
    ecrireModes(soir, octets);
    TemporaryFolder::write(b.modes.file("soir.lum"), octets.str());
    QVERIFY(b.principale->Form_Load());
    b.principale->show();
    b.clic(b.principale.get(), "Command6");
    Config_modes* e = b.fenetre();
    QVERIFY(QTest::qWaitForWindowExposed(e));
    auto* combo = b.ctl<QComboBox>(e, "Combo1");
    combo->setCurrentIndex(9);  // B1
    emit combo->activated(9);
    QCOMPARE(b.ctl<QSlider>(e, "Slider1[1]")->value(), 60);

    b.doubleClic(b.principale.get(), "soir.lum");
    QCOMPARE(b.v.fichierLUM, std::string("soir.lum"));
    QCOMPARE(b.ctl<QSlider>(e, "Slider1[1]")->value(), 25);
    QVERIFY(b.ctl<QRadioButton>(e, "Option1[1]")->isChecked());
    // Saved without a change, the file comes back as it was.
    b.clic(e, "Command5");
    QCOMPARE(TemporaryFolder::read(b.modes.file("soir.lum")), octets.str());
    QVERIFY(b.messages.boxes.isEmpty());
}

// The mode editor in English writes the very bytes it writes in French, and so does the options
// save it makes when it creates a mode.
void EditeurModesTest::aModeSavedInEnglishIsTheSameFile() {
    QByteArray ecrit[2];
    for (const bool anglais : {false, true}) {
        Traductions en(QStringLiteral("en"));
        if (anglais) en.installer();
        Banc b;
        QVERIFY(b.principale->Form_Load());
        b.clic(b.principale.get(), "Command6");  // "Config Modes"
        Config_modes* e = b.fenetre();
        QCOMPARE(b.ctl<QPushButton>(e, "Command5")->text() == QStringLiteral("Enregistrer"), !anglais);
        b.ctl<QComboBox>(e, "Combo1")->setCurrentIndex(9);
        b.ctl<QCheckBox>(e, "Check2[3]")->setChecked(true);
        b.ctl<QSlider>(e, "Slider1[3]")->setValue(35);
        b.clic(e, "Command5");
        QVERIFY(b.messages.boxes.isEmpty());
        b.dialogues.reponses = {QString::fromStdString(b.modes.file("neuf.lum"))};
        b.clic(e, "Command1");  // "Add"
        ecrit[anglais] = QByteArray::fromStdString(TemporaryFolder::read(b.modes.file("fete.lum")) + "|" +
                                                   TemporaryFolder::read(b.modes.file("neuf.lum")) + "|" +
                                                   TemporaryFolder::read(b.programme.file("Config.ini")));
        // Each run has folders of its own: their names are not the language's doing.
        ecrit[anglais].replace(QByteArray::fromStdString(b.modes.path()), "MODES");
    }
    // The new mode's placeholder, then the options that name its folder (the current mode stays).
    QVERIFY(ecrit[0].contains("|\"vide\"\r\n|[Options]\r\nTemps_timer=200\r\nrepertoire=MODES\r\n"));
    QCOMPARE(ecrit[1], ecrit[0]);
}

QTEST_MAIN(EditeurModesTest)
#include "EditeurModesTest.moc"
