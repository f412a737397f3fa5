#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>
#include <memory>
#include <sstream>

#include "config/fileINI.h"
#include "doubles/FenetrePrincipaleEnregistree.h"
#include "doubles/FileDialogsEnregistres.h"
#include "doubles/MessagesEnregistres.h"
#include "doubles/TemporaryFolder.h"
#include "modes/Config_modes.h"
#include "modes/FichierModes.h"
#include "ui/Controles.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

const std::string VIDE = "\"vide\"\r\n";

std::string octetsDuMode(const Variables& v) {
    std::ostringstream out;
    ecrireModes(v, out);
    return out.str();
}

// One editor over the main-window double, with its save folder and program folder on disk.
struct Banc {
    explicit Banc(const std::string& fichierLUM = "fete.lum") {
        for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
            v.SortieA[i].nom = "Spot A" + std::to_string(i);
            v.SortieB[i].nom = "Spot B" + std::to_string(i);
        }
        NumeroterSorties(v);
        v.Temps_timer = 200;
        v.repertoire = modes.path();
        v.fichierLUM = fichierLUM;
        v.fichierINI = programme.file("Config.ini");
    }
    Config_modes& ouvrir() {
        editeur = std::make_unique<Config_modes>(v, principale, messages, dialogues);
        principale.surActualiser = [this] { return editeur->pointerListe(); };
        editeur->Form_Load();
        return *editeur;
    }
    template <class T = QWidget>
    T* ctl(const QString& nom) {
        T* w = editeur->findChild<T*>(nom);
        if (!w) qFatal("no control %s", qPrintable(nom));
        return w;
    }
    template <class T = QWidget>
    T* ctl(const char* nom, int j) {
        return ctl<T>(QString("%1[%2]").arg(nom).arg(j));
    }
    QSlider* slider(int j) { return ctl<QSlider>("Slider1", j); }
    QCheckBox* caseBarre(int j) { return ctl<QCheckBox>("Check2", j); }
    QRadioButton* inf(int j) { return ctl<QRadioButton>("Option1", j); }
    QRadioButton* sup(int j) { return ctl<QRadioButton>("Option2", j); }
    QCheckBox* active() { return ctl<QCheckBox>("Check1"); }
    QComboBox* combo() { return ctl<QComboBox>("Combo1"); }
    ListeFichiers* liste() { return ctl<ListeFichiers>("File1"); }
    QLabel* label() { return ctl<QLabel>("Label1"); }
    void clic(const char* bouton) { QTest::mouseClick(ctl<QPushButton>(bouton), Qt::LeftButton); }
    // An entry chosen from the drop-down list.
    void choisir(int p) {
        combo()->setCurrentIndex(p);
        emit combo()->activated(p);
    }
    void selectionnerFichier(const QString& nom) {
        QListWidgetItem* item = liste()->findItems(nom, Qt::MatchExactly).value(0);
        QVERIFY2(item, qPrintable(nom));
        liste()->setCurrentItem(item);
    }
    QStringList fichiersListes() {
        QStringList noms;
        for (int i = 0; i < liste()->count(); ++i) noms << liste()->item(i)->text();
        return noms;
    }

    TemporaryFolder modes, programme;
    Variables v;
    FenetrePrincipaleEnregistree principale;
    MessagesEnregistres messages;
    FileDialogsEnregistres dialogues;
    std::unique_ptr<Config_modes> editeur;
};

// What a group of bar controls shows.
struct Groupe {
    int slider;
    bool coche;
    bool superieur;  // ">" selected, else "<"
};

void verifierGroupe(Banc& b, int j, Groupe g) {
    const QByteArray ou = QByteArray("bar ") + QByteArray::number(j);
    QVERIFY2(b.slider(j)->value() == g.slider, ou.constData());
    QVERIFY2(b.caseBarre(j)->isChecked() == g.coche, ou.constData());
    QVERIFY2(b.sup(j)->isChecked() == g.superieur, ou.constData());
    QVERIFY2(b.inf(j)->isChecked() == !g.superieur, ou.constData());
}

}  // namespace

class Config_modesTest : public QObject {
    Q_OBJECT
private slots:
    void controlsFollowTheLayoutTable();
    void openingFillsTheListsAndLabel();
    void showsTheSelectedRecord();
    void typingShowsTheHeldSelection();
    void storeAndSave_data();
    void storeAndSave();
    void activeClearKeepsThresholds();
    void saveWithoutSelectionDoesNothing();
    void saveWithoutModeFileStoresAndWarns();
    void saveFailureNamesFileAndReason();
    void thresholdOutOfRangeShowsAtTheEnd();
    void doubleClickPicksTheMode();
    void addCancelledChangesNothing();
    void addIntoAnotherFolder();
    void addOverAnExistingFileAsks();
    void addPlaceholderFailure();
    void deleteAsksThenDeletesTheSelectedFile();
    void deleteWithoutSelectionWarns();
    void deleteFailureNamesFileAndReason();
    void saveOverAnotherModeOfTheSameNameAsks();
};

void Config_modesTest::controlsFollowTheLayoutTable() {
    Banc b;
    Config_modes& w = b.ouvrir();
    QCOMPARE(w.objectName(), QString("Config_modes"));
    QCOMPARE(w.windowTitle(), QString("Configuration des modes "));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!w.isVisible());
    QCOMPARE(b.ctl("Frame1")->geometry(), QRect(200, 0, 497, 281));
    QCOMPARE(b.ctl("File1")->geometry(), QRect(8, 48, 177, 227));
    QCOMPARE(b.ctl("Command3")->geometry(), QRect(600, 288, 97, 25));
    QCOMPARE(b.ctl("Command3")->parentWidget(), &w);
    QCOMPARE(b.ctl("Command2")->parentWidget()->objectName(), QString("Frame2"));
    QCOMPARE(b.ctl<QPushButton>("Command1")->text(), QString("Add"));
    QCOMPARE(b.ctl<QPushButton>("Command2")->text(), QString("Suprimer"));
    QCOMPARE(b.ctl<QPushButton>("Command5")->text(), QString("Enregistrer"));
    QCOMPARE(b.ctl<QGroupBox>("Frame2")->title(), QString("Modes de Fonctionnement"));
    QCOMPARE(b.ctl<QGroupBox>("Frame1")->title(), QString("Gestion des Sorties"));
    QVERIFY(b.label()->font().bold());
    QCOMPARE(b.label()->font().pointSizeF(), 9.75);
    QCOMPARE(b.label()->textFormat(), Qt::PlainText);
    QVERIFY(b.combo()->isEditable());
    QCOMPARE(b.active()->text(), QString("Active"));
    QVERIFY(!b.active()->isChecked());

    // Ten groups left to right, each its own frame.
    for (int j = 0; j < NB_BARRES; ++j) {
        QWidget* cadre = b.ctl("Frame3", j);
        QCOMPARE(cadre->parentWidget()->objectName(), QString("Frame1"));
        QCOMPARE(cadre->geometry(), QRect(8 + 48 * j, 48, 49, 225));
        for (const char* nom : {"Check2", "Slider1", "Option1", "Option2"}) QCOMPARE(b.ctl(nom, j)->parentWidget(), cadre);
        QCOMPARE(b.slider(j)->geometry(), QRect(8, 24, 33, 161));
        QCOMPARE(b.slider(j)->orientation(), Qt::Vertical);
        QCOMPARE(b.slider(j)->minimum(), 0);
        QCOMPARE(b.slider(j)->maximum(), 100);
        QCOMPARE(b.caseBarre(j)->text(), QString("Check2"));
        QCOMPARE(b.inf(j)->text(), QString("<"));
        QCOMPARE(b.sup(j)->text(), QString(">"));
        verifierGroupe(b, j, {0, false, false});
    }

    // The two options of a group exclude each other and no option of another group.
    QTest::mouseClick(b.sup(3), Qt::LeftButton, {}, QPoint(4, 8));
    verifierGroupe(b, 3, {0, false, true});
    verifierGroupe(b, 4, {0, false, false});
    QTest::mouseClick(b.inf(3), Qt::LeftButton, {}, QPoint(4, 8));
    verifierGroupe(b, 3, {0, false, false});
}

void Config_modesTest::openingFillsTheListsAndLabel() {
    Banc b;
    TemporaryFolder::write(b.modes.file("fete.lum"), VIDE);
    TemporaryFolder::write(b.modes.file("calme.lum"), VIDE);
    TemporaryFolder::write(b.modes.file("notes.txt"), "x");
    b.v.SortieB[7].nom = "Stroboscope <b>";
    b.ouvrir();
    QCOMPARE(b.combo()->count(), 16);
    QCOMPARE(b.combo()->currentIndex(), -1);
    QCOMPARE(b.combo()->currentText(), QString());
    QCOMPARE(b.combo()->itemText(0), QString("Spot A0"));
    QCOMPARE(b.combo()->itemText(8), QString("Spot B0"));
    QCOMPARE(b.combo()->itemText(15), QString("Stroboscope <b>"));
    QCOMPARE(b.principale.actualisations, 1);
    QCOMPARE(b.fichiersListes(), QStringList({"calme.lum", "fete.lum"}));
    QCOMPARE(b.label()->text(), QString("fete.lum"));  // with its extension on opening
}

void Config_modesTest::showsTheSelectedRecord() {
    Banc b;
    Sortie& r = b.v.SortieA[2];
    r.active = VRAI;
    // Bars 0..6: "<", ">", unused with a threshold, unknown comparison, out of range both ways, unused at 0.
    r.sens = {1, 2, 0, 7, 1, 2, 0, 0, 0, 0};
    r.seuil = {30, 70, 55, 20, 150, -5, 0, 0, 0, 0};
    Sortie& inactive = b.v.SortieA[5];
    inactive.seuil.fill(80);
    inactive.sens.fill(2);
    b.ouvrir();

    // The unknown comparison of bar 3 keeps what the group showed before.
    b.caseBarre(3)->setChecked(true);
    b.sup(3)->setChecked(true);
    b.choisir(2);
    QVERIFY(b.active()->isChecked());
    const Groupe attendu[] = {{30, true, false}, {70, true, true},  {0, false, false},
                              {20, true, true},  {100, true, false}, {0, true, true}, {0, false, false}};
    for (int j = 0; j < 7; ++j) verifierGroupe(b, j, attendu[j]);

    // An inactive output shows blank with "<" everywhere, whatever it holds.
    b.choisir(5);
    QVERIFY(!b.active()->isChecked());
    for (int j = 0; j < NB_BARRES; ++j) verifierGroupe(b, j, {0, false, false});

    // The blank state leaves the option buttons as they are.
    b.choisir(2);
    b.combo()->setCurrentIndex(-1);
    b.editeur->affichageconfigsorties();
    QVERIFY(!b.active()->isChecked());
    verifierGroupe(b, 1, {0, false, true});
    verifierGroupe(b, 0, {0, false, false});
    QCOMPARE(r.seuil[4], 150);  // showing never writes the record
}

void Config_modesTest::typingShowsTheHeldSelection() {
    Banc b;
    b.v.SortieB[1].active = VRAI;
    b.v.SortieB[1].sens[1] = 2;
    b.v.SortieB[1].seuil[1] = 45;
    b.ouvrir();
    b.choisir(9);
    const Variables avant = b.v;
    // A text that names no output: the blank state, and "Enregistrer" stores into none.
    b.slider(1)->setValue(90);
    QTest::keyClicks(b.combo()->lineEdit(), "x");
    QCOMPARE(b.combo()->currentText(), QString("Spot B1x"));
    QCOMPARE(b.combo()->currentIndex(), -1);
    QVERIFY(!b.active()->isChecked());
    QCOMPARE(b.slider(1)->value(), 0);
    b.active()->setChecked(true);
    b.slider(1)->setValue(90);
    b.clic("Command5");
    QCOMPARE(octetsDuMode(b.v), octetsDuMode(avant));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(b.modes.file("fete.lum"))));

    // Typed back to a name, whatever its case: that output's settings.
    b.combo()->lineEdit()->selectAll();
    QTest::keyClicks(b.combo()->lineEdit(), "spot b1");
    QCOMPARE(b.combo()->currentIndex(), 9);
    QCOMPARE(b.combo()->currentText(), QString("spot b1"));
    verifierGroupe(b, 1, {45, true, true});
    QTest::keyClicks(b.combo()->lineEdit(), "\b0");
    QCOMPARE(b.combo()->currentIndex(), 8);
    QVERIFY(!b.active()->isChecked());
}

void Config_modesTest::storeAndSave_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("coche");
    QTest::addColumn<bool>("superieur");
    QTest::addColumn<int>("sens");
    QTest::newRow("A3, box and >") << 3 << true << true << 2;
    QTest::newRow("A3, box and <") << 3 << true << false << 1;
    QTest::newRow("A3, no box") << 3 << false << true << 0;
    QTest::newRow("position 11 is B3") << 11 << true << true << 2;
    QTest::newRow("position 15 is B7") << 15 << false << false << 0;
}

void Config_modesTest::storeAndSave() {
    QFETCH(int, position);
    QFETCH(bool, coche);
    QFETCH(bool, superieur);
    QFETCH(int, sens);
    Banc b;
    b.v.SortieA[6].active = VRAI;  // the other records go to the file as they stand
    b.v.SortieA[6].seuil[9] = -3;
    b.ouvrir();
    b.choisir(position);
    b.active()->setChecked(true);
    b.slider(3)->setValue(40);
    b.caseBarre(3)->setChecked(coche);
    (superieur ? b.sup(3) : b.inf(3))->setChecked(true);
    b.slider(0)->setValue(12);  // box clear: the position is stored all the same
    b.clic("Command5");

    const Sortie& r = position < 8 ? b.v.SortieA[position] : b.v.SortieB[position - 8];
    const Sortie& autre = position < 8 ? b.v.SortieB[position] : b.v.SortieA[position - 8];
    QCOMPARE(r.active, VRAI);
    QCOMPARE(int(r.sens[3]), sens);
    QCOMPARE(r.seuil[3], 40);
    QCOMPARE(r.sens[0], 0);
    QCOMPARE(r.seuil[0], 12);
    QCOMPARE(autre.active, FAUX);
    QCOMPARE(autre.seuil[3], 0);
    QVERIFY(b.messages.boxes.isEmpty());
    QCOMPARE(TemporaryFolder::read(b.modes.file("fete.lum")), octetsDuMode(b.v));
}

void Config_modesTest::activeClearKeepsThresholds() {
    Banc b;
    Sortie& r = b.v.SortieB[4];
    r.active = VRAI;
    r.sens[6] = 2;
    r.seuil[6] = 66;
    b.ouvrir();
    b.choisir(12);
    b.slider(6)->setValue(10);
    b.active()->setChecked(false);
    b.clic("Command5");
    QCOMPARE(r.active, FAUX);
    QCOMPARE(r.sens[6], 2);
    QCOMPARE(r.seuil[6], 66);
    Variables relu;
    relu.repertoire = b.v.repertoire;
    relu.fichierLUM = b.v.fichierLUM;
    ChargerModes(relu);
    QCOMPARE(relu.SortieB[4].active, FAUX);
    QCOMPARE(relu.SortieB[4].sens[6], 2);
    QCOMPARE(relu.SortieB[4].seuil[6], 66);
}

void Config_modesTest::saveWithoutSelectionDoesNothing() {
    Banc b;
    b.ouvrir();
    b.active()->setChecked(true);
    b.slider(0)->setValue(50);
    b.clic("Command5");
    QCOMPARE(b.modes.entryCount(), std::size_t(0));
    QVERIFY(b.messages.boxes.isEmpty());
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) QVERIFY(b.v.SortieA[i].active == FAUX && b.v.SortieB[i].active == FAUX);
}

void Config_modesTest::saveWithoutModeFileStoresAndWarns() {
    Banc b("");
    b.ouvrir();
    b.choisir(0);
    b.active()->setChecked(true);
    b.slider(2)->setValue(33);
    b.clic("Command5");
    QCOMPARE(b.v.SortieA[0].active, VRAI);
    QCOMPARE(b.v.SortieA[0].seuil[2], 33);
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].texte, QString("Aucun fichier selectionne"));
    QCOMPARE(b.messages.boxes[0].titre, QString("Attention"));
    QCOMPARE(b.modes.entryCount(), std::size_t(0));
}

void Config_modesTest::saveFailureNamesFileAndReason() {
    Banc b;
    b.ouvrir();
    b.v.repertoire = b.modes.file("absent");
    b.choisir(1);
    b.active()->setChecked(true);
    b.clic("Command5");
    QCOMPARE(b.v.SortieA[1].active, VRAI);  // memory keeps what was stored
    QCOMPARE(b.messages.boxes.size(), 1);
    const QString texte = b.messages.boxes[0].texte;
    QVERIFY2(texte.contains(QString::fromStdString(b.modes.file("absent/fete.lum"))), qPrintable(texte));
    QVERIFY2(texte.contains("Impossible") && texte.contains(QStringLiteral("fichier ou dossier introuvable")), qPrintable(texte));
}

void Config_modesTest::thresholdOutOfRangeShowsAtTheEnd() {
    Banc b;
    b.v.SortieA[0].active = b.v.SortieA[1].active = VRAI;
    b.v.SortieA[0].sens[0] = b.v.SortieA[1].sens[0] = 2;
    b.v.SortieA[0].seuil[0] = b.v.SortieA[1].seuil[0] = 250;
    b.ouvrir();
    b.choisir(1);
    b.clic("Command5");  // saving A1 stores what its slider shows
    QCOMPARE(b.v.SortieA[1].seuil[0], 100);
    QCOMPARE(b.v.SortieA[0].seuil[0], 250);  // A0 was not saved: the file keeps its value
    QCOMPARE(TemporaryFolder::read(b.modes.file("fete.lum")), octetsDuMode(b.v));
    b.choisir(0);
    QCOMPARE(b.slider(0)->value(), 100);
}

void Config_modesTest::doubleClickPicksTheMode() {
    Banc b("");
    Variables mode;
    mode.SortieB[0].active = VRAI;
    mode.SortieB[0].sens[5] = 1;
    mode.SortieB[0].seuil[5] = 25;
    TemporaryFolder::write(b.modes.file("soiree.lum"), octetsDuMode(mode));
    b.ouvrir();
    b.choisir(8);
    QVERIFY(!b.active()->isChecked());
    b.selectionnerFichier("soiree.lum");
    b.editeur->File1_DblClick();
    QCOMPARE(b.v.fichierLUM, std::string("soiree.lum"));
    QCOMPARE(b.label()->text(), QString("soiree"));
    QCOMPARE(b.principale.nomsAffiches, 1);
    QCOMPARE(b.v.SortieB[0].seuil[5], 25);
    QVERIFY(b.active()->isChecked());
    verifierGroupe(b, 5, {25, true, false});
}

void Config_modesTest::addCancelledChangesNothing() {
    Banc b;
    b.ouvrir();
    b.dialogues.reponses = {QString::fromStdString(b.modes.file("premier.lum"))};
    b.clic("Command1");
    QVERIFY(QFile::exists(QString::fromStdString(b.modes.file("premier.lum"))));
    const std::string ini = TemporaryFolder::read(b.v.fichierINI);
    const int actualisations = b.principale.actualisations;

    b.clic("Command1");  // the dialog script is empty now: cancelled
    QCOMPARE(b.dialogues.dialogues.size(), 2);
    QCOMPARE(b.dialogues.dialogues[1].titre, QString("Nouveau"));
    QCOMPARE(b.dialogues.dialogues[1].filtre, QString("Fichier Lumière (*.lum)"));
    QCOMPARE(b.modes.entryCount(), std::size_t(1));
    QCOMPARE(TemporaryFolder::read(b.v.fichierINI), ini);
    QCOMPARE(b.principale.actualisations, actualisations);
    QVERIFY(b.messages.boxes.isEmpty());
}

void Config_modesTest::addIntoAnotherFolder() {
    Banc b;
    TemporaryFolder ailleurs;
    b.ouvrir();
    b.dialogues.reponses = {QString::fromStdString(ailleurs.file("nouveau.lum"))};
    b.clic("Command1");
    QCOMPARE(b.dialogues.dialogues[0].dossier, QString::fromStdString(b.modes.path()));
    QCOMPARE(TemporaryFolder::read(ailleurs.file("nouveau.lum")), VIDE);
    QCOMPARE(b.v.repertoire, ailleurs.path());
    QCOMPARE(LireINI("Options", "repertoire", "", b.v.fichierINI), ailleurs.path());
    QCOMPARE(LireINI("Options", "fichierLUM", "?", b.v.fichierINI), std::string("fete.lum"));
    QCOMPARE(LireINI("Options", "Temps_timer", "", b.v.fichierINI), std::string("200"));
    QCOMPARE(b.v.fichierLUM, std::string("fete.lum"));
    QCOMPARE(b.label()->text(), QString("fete.lum"));
    QCOMPARE(b.principale.actualisations, 2);
    QCOMPARE(b.fichiersListes(), QStringList({"nouveau.lum"}));

    // "Enregistrer" now writes into the new folder.
    b.choisir(0);
    b.active()->setChecked(true);
    b.clic("Command5");
    QCOMPARE(TemporaryFolder::read(ailleurs.file("fete.lum")), octetsDuMode(b.v));
    QCOMPARE(b.modes.entryCount(), std::size_t(0));
}

void Config_modesTest::addOverAnExistingFileAsks() {
    Banc b;
    const std::string chemin = b.modes.file("fete.lum");
    Variables mode;
    mode.SortieA[0].active = VRAI;
    const std::string octets = octetsDuMode(mode);
    TemporaryFolder::write(chemin, octets);
    b.ouvrir();
    b.v.repertoire = "/ailleurs";  // shows that a refused replacement changes nothing at all
    b.dialogues.reponses = {QString::fromStdString(chemin), QString::fromStdString(chemin)};
    b.messages.reponses = {false, true};

    b.clic("Command1");
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].genre, QString("demander"));
    QVERIFY(b.messages.boxes[0].texte.contains(QString::fromStdString(chemin)));
    QCOMPARE(TemporaryFolder::read(chemin), octets);
    QCOMPARE(b.v.repertoire, std::string("/ailleurs"));
    QVERIFY(!QFile::exists(QString::fromStdString(b.v.fichierINI)));

    b.clic("Command1");
    QCOMPARE(TemporaryFolder::read(chemin), VIDE);
    QCOMPARE(b.v.repertoire, b.modes.path());
}

void Config_modesTest::addPlaceholderFailure() {
    Banc b;
    b.ouvrir();
    const std::string chemin = b.modes.file("absent/nouveau.lum");
    b.dialogues.reponses = {QString::fromStdString(chemin)};
    b.clic("Command1");
    QCOMPARE(b.messages.boxes.size(), 1);
    QVERIFY2(b.messages.boxes[0].texte.contains(QString::fromStdString(chemin)), qPrintable(b.messages.boxes[0].texte));
    QVERIFY(b.messages.boxes[0].texte.contains(QStringLiteral("fichier ou dossier introuvable")));
    QCOMPARE(b.v.repertoire, b.modes.path());
    QVERIFY(!QFile::exists(QString::fromStdString(b.v.fichierINI)));
    QCOMPARE(b.principale.actualisations, 1);
}

void Config_modesTest::deleteAsksThenDeletesTheSelectedFile() {
    Banc b;
    TemporaryFolder::write(b.modes.file("fete.lum"), VIDE);
    TemporaryFolder::write(b.modes.file("calme.lum"), VIDE);
    b.v.SortieA[0].active = VRAI;
    b.ouvrir();
    b.selectionnerFichier("fete.lum");  // the current mode file: it goes all the same
    b.messages.reponses = {false, true};

    b.clic("Command2");
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].texte, QString("Voulez-vous vraiment effacer!\nfete.lum"));
    QCOMPARE(b.messages.boxes[0].titre, QString("Effacer"));
    QCOMPARE(b.fichiersListes(), QStringList({"calme.lum", "fete.lum"}));
    QCOMPARE(b.modes.entryCount(), std::size_t(2));

    b.clic("Command2");
    QCOMPARE(b.messages.boxes.size(), 2);
    QCOMPARE(b.fichiersListes(), QStringList({"calme.lum"}));
    QCOMPARE(b.modes.entryCount(), std::size_t(1));
    QCOMPARE(b.v.fichierLUM, std::string("fete.lum"));
    QCOMPARE(b.label()->text(), QString("fete.lum"));
    QCOMPARE(b.v.SortieA[0].active, VRAI);
}

void Config_modesTest::deleteWithoutSelectionWarns() {
    Banc b;
    TemporaryFolder::write(b.modes.file("fete.lum"), VIDE);
    b.ouvrir();
    // What the keyboard focus does: a current row that nobody selected.
    b.liste()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QVERIFY(b.liste()->selectedItems().isEmpty());
    b.clic("Command2");
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].genre, QString("afficher"));
    QCOMPARE(b.messages.boxes[0].texte, QString("Aucun fichier selectionne"));
    QCOMPARE(b.messages.boxes[0].titre, QString("Attention"));
    QCOMPARE(b.modes.entryCount(), std::size_t(1));
    QVERIFY(QFileInfo(QString::fromStdString(b.modes.path())).isDir());
}

void Config_modesTest::deleteFailureNamesFileAndReason() {
    Banc b;
    TemporaryFolder::write(b.modes.file("fete.lum"), VIDE);
    b.ouvrir();
    b.selectionnerFichier("fete.lum");
    QFile::remove(QString::fromStdString(b.modes.file("fete.lum")));  // gone behind the list's back
    b.clic("Command2");
    QCOMPARE(b.messages.boxes.size(), 2);
    const QString texte = b.messages.boxes[1].texte;
    QVERIFY2(texte.contains(QString::fromStdString(b.modes.file("fete.lum"))), qPrintable(texte));
    QVERIFY(texte.contains("Impossible de supprimer"));
    QVERIFY(texte.contains(QStringLiteral("fichier ou dossier introuvable")));
    QCOMPARE(b.principale.actualisations, 1);  // nothing else happens
}

void Config_modesTest::saveOverAnotherModeOfTheSameNameAsks() {
    Banc b;
    TemporaryFolder ailleurs;
    b.v.SortieB[1].active = VRAI;
    TemporaryFolder::write(b.modes.file("fete.lum"), octetsDuMode(b.v));
    ChargerModes(b.v);
    const std::string autre = "\"vide\"\r\n# un autre mode\r\n";
    TemporaryFolder::write(ailleurs.file("fete.lum"), autre);
    b.ouvrir();
    b.v.repertoire = ailleurs.path();  // a new save folder holding a mode of the same name
    b.choisir(9);
    b.messages.reponses = {false};
    b.clic("Command5");
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].genre, QString("demander"));
    QVERIFY(b.messages.boxes[0].texte.contains(QString::fromStdString(b.modes.file("fete.lum"))));
    QVERIFY(b.messages.boxes[0].texte.contains(QString::fromStdString(ailleurs.file("fete.lum"))));
    QCOMPARE(TemporaryFolder::read(ailleurs.file("fete.lum")), autre);

    b.messages.reponses = {true};
    b.clic("Command5");
    QCOMPARE(TemporaryFolder::read(ailleurs.file("fete.lum")), octetsDuMode(b.v));
    // Saved there, it is the mode's file now: the next save asks nothing.
    b.clic("Command5");
    QCOMPARE(b.messages.boxes.size(), 2);
}

QTEST_MAIN(Config_modesTest)
#include "Config_modesTest.moc"
