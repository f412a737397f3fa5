// Every window in English: each caption fits the room its control gives it at the default font, and
// no text is left in French, in the controls nor in the messages. Each window is built twice, without
// and with the English translation, and its controls and messages are compared one by one.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

#include "app/FenetresConfiguration.h"
#include "doubles/DoublesPrincipale.h"
#include "doubles/FileDialogsEnregistres.h"
#include "doubles/MidiEnregistre.h"
#include "mainwindow/FPrincipale.h"
#include "modes/Config_modes.h"
#include "remote/Telecommande.h"
#include "run/Marche.h"
#include "settings/FenetreTelecommande.h"
#include "translations/Langue.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

// Texts the same in both languages: the trade's own words, names of standards and units.
const QStringList NEUTRES = {"Korvalen", "Options", "Slow", "Active", "Add", "MIDI", "OSC", "ms", "alsa",
                             "jack", "local", "OLA (DMX, Art-Net, sACN)"};

// What one control shows: its text (the items of a list, one per line), the size of its font and
// the lines that do not fit its room.
struct Affiche {
    QString texte;
    qreal points = 0;
    QStringList coupes;
};

// The controls of every window that show a text, by window and object name.
using Releve = QMap<QString, Affiche>;

bool aDesLettres(const QString& t) {
    for (const QChar c : t) {
        if (c.isLetter()) return true;
    }
    return false;
}

// The room a control gives its caption: a width and, for a word-wrapped label, a height.
struct Place {
    int largeur = 0;
    int hauteur = 0;  // 0: one line
};

QStyleOptionButton optionBouton(const QAbstractButton& b) {
    QStyleOptionButton o;
    o.initFrom(&b);
    o.text = b.text();
    return o;
}

// The room `w` gives its caption by the style's metrics (a check box's or an option button's
// indicator and a button's frame taken off); nothing for a control without a caption.
std::optional<Place> place(const QWidget& w) {
    const QStyle* s = w.style();
    if (auto* l = qobject_cast<const QLabel*>(&w)) {
        const QRect r = l->contentsRect();
        return Place{r.width(), l->wordWrap() ? r.height() : 0};
    }
    if (auto* c = qobject_cast<const QCheckBox*>(&w)) {
        const QStyleOptionButton o = optionBouton(*c);
        return Place{s->subElementRect(QStyle::SE_CheckBoxContents, &o, c).width()};
    }
    if (auto* r = qobject_cast<const QRadioButton*>(&w)) {
        const QStyleOptionButton o = optionBouton(*r);
        return Place{s->subElementRect(QStyle::SE_RadioButtonContents, &o, r).width()};
    }
    if (auto* b = qobject_cast<const QPushButton*>(&w)) {
        const QStyleOptionButton o = optionBouton(*b);
        return Place{s->subElementRect(QStyle::SE_PushButtonContents, &o, b).width()};
    }
    if (auto* g = qobject_cast<const QGroupBox*>(&w)) {
        QStyleOptionGroupBox o;
        o.initFrom(g);
        o.text = g->title();
        o.textAlignment = g->alignment();
        o.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        // The title starts inside the frame and must end before the frame's right edge.
        const QRect titre = s->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
        return Place{g->width() - titre.left() - s->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, g)};
    }
    if (auto* c = qobject_cast<const QComboBox*>(&w)) {
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.editable = c->isEditable();
        o.frame = c->hasFrame();
        return Place{s->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c).width()};
    }
    return std::nullopt;
}

QString texteDe(const QWidget& w) {
    if (auto* l = qobject_cast<const QLabel*>(&w)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(&w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(&w)) return g->title();
    if (auto* c = qobject_cast<const QComboBox*>(&w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i) items.append(c->itemText(i));
        return items.join(QLatin1Char('\n'));
    }
    return {};
}

// Each line of `texte` against `place`, in the font of `w`: the lines that do not fit.
QStringList coupes(const QWidget& w, const Place& p, const QString& texte) {
    const QFontMetrics fm(w.font());
    QStringList raisons;
    for (const QString& ligne : texte.split(QLatin1Char('\n'))) {
        if (p.hauteur > 0) {
            const QRect r = fm.boundingRect(QRect(0, 0, p.largeur, 10000), Qt::TextWordWrap, ligne);
            if (r.width() > p.largeur || r.height() > p.hauteur) {
                raisons.append(QStringLiteral("\"%1\" needs %2x%3 px, has %4x%5")
                                   .arg(ligne)
                                   .arg(r.width())
                                   .arg(r.height())
                                   .arg(p.largeur)
                                   .arg(p.hauteur));
            }
            continue;
        }
        // A button's '&' marks its shortcut and takes no room.
        const int largeur = qobject_cast<const QLabel*>(&w) ? fm.horizontalAdvance(ligne)
                                                            : fm.size(Qt::TextShowMnemonic, ligne).width();
        if (largeur > p.largeur) {
            raisons.append(QStringLiteral("\"%1\" needs %2 px, has %3").arg(ligne).arg(largeur).arg(p.largeur));
        }
    }
    return raisons;
}

// The program over test doubles with every window open, in the language installed at the time.
struct Programme : DoublesPrincipale {
    explicit Programme(const QString& dossierProgramme) {
        // No live button assigned: they show their own captions.
        QFile config(dossierProgramme + QStringLiteral("/Config.ini"));
        if (!config.open(QIODevice::WriteOnly) ||
            config.write("[Boutons]\r\nBouton1=-1\r\nBouton2=-1\r\nBouton3=-1\r\nBouton4=-1\r\nBouton5=-1\r\n") < 0) {
            qFatal("cannot write Config.ini");
        }
        config.close();
        cartes.list = {{"Micro", true}, {"Ligne", true}};
        marche = std::make_unique<Marche>(v, cartes, entree, port, messages,
                                          Emplacements::ensemble(dossierProgramme.toStdString()));
        principale = std::make_unique<FPrincipale>(*marche, messages);
        if (!principale->Form_Load()) qFatal("start-up failed");
        reglages = std::make_unique<FenetresConfiguration>(v, *marche, messages,
                                                           [] { return QStringList{QStringLiteral("/")}; });
        QObject::connect(principale.get(), &FPrincipale::fenetreDemandee, reglages.get(),
                         &FenetresConfiguration::ouvrir);
        principale->show();
        for (const char* bouton : {"Command2", "Command4", "Command7"}) {
            principale->findChild<QPushButton*>(bouton)->click();
        }
        reglages->options()->findChild<QPushButton*>("Command3")->click();  // the folder picker
        reglages->options()->findChild<QPushButton*>("Command5")->click();  // the lamp output
        modes = std::make_unique<Config_modes>(v, *marche, messages, dialogues);
        modes->Form_Load();
        modes->show();
        telecommande = std::make_unique<Telecommande>(*marche, messages);
        telecommande->brancherMidi(midi, ReglagesMidi{});
        fenetreTelecommande = std::make_unique<FenetreTelecommande>(*telecommande, messages, v.fichierINI);
        fenetreTelecommande->show();
        for (QWidget* f : fenetres()) {
            if (f == nullptr || !f->isVisible()) qFatal("a window did not open");
        }
    }

    // Every window of the program; one never opened or already closed is null.
    QList<QWidget*> fenetres() const {
        return {principale.get(),      reglages->sorties(), reglages->boutons(),
                reglages->options(),   reglages->selecteurDossier(),
                reglages->sortieDesLampes(), modes.get(), fenetreTelecommande.get()};
    }

    // Every text shown in the windows now, under `etat` (what brought it on screen).
    void relever(Releve& releve, const QString& etat) const {
        for (QWidget* f : fenetres()) {
            if (f == nullptr || !f->isVisible()) continue;
            const QString fenetre = etat + QLatin1Char('/') + f->objectName();
            releve.insert(fenetre, {f->windowTitle(), 0, {}});
            for (QWidget* w : f->findChildren<QWidget*>()) {
                const std::optional<Place> p = place(*w);
                // A control too narrow for any text (the mode editor's bar boxes) hides its caption by design.
                if (!w->isVisibleTo(f) || !p || p->largeur <= 0) continue;
                const QString texte = texteDe(*w);
                releve.insert(fenetre + QLatin1Char('/') + w->objectName(),
                              {texte, w->font().pointSizeF(), coupes(*w, *p, texte)});
            }
        }
    }

    // What each window shows as it opens, then after the operator's actions that change captions.
    Releve toutRelever() {
        Releve releve;
        relever(releve, QStringLiteral("ouverture"));
        principale->montrerMarche(true);  // "Arret" while running
        fenetreTelecommande->findChild<QPushButton*>("CommandApprendre[0]")->click();  // waiting for a pad
        relever(releve, QStringLiteral("en marche"));
        principale->montrerMarche(false);
        reglages->boutons()->findChild<QPushButton*>("Command2")->click();  // every live button unassigned
        relever(releve, QStringLiteral("boutons libres"));
        return releve;
    }

    // The operator's slips and questions, each answered by a message box or a file dialog; what
    // they said, in order. A slip that brings no message fails the test.
    void provoquerMessages(Releve& releve) {
        struct Saisie {
            QWidget* fenetre;
            const char* champ;
            QString valeur;
            const char* bouton;  // clicked after typing; a message must follow
        };
        QWidget* o = reglages->options();
        QWidget* l = reglages->sortieDesLampes();
        QWidget* t = fenetreTelecommande.get();
        const QList<Saisie> saisies = {
            {o, "Text1", "0", "Command1"},
            {o, "Text1", "200", nullptr},
            {o, "Text3", "0", "Command1"},
            {o, "Text3", "60", nullptr},
            {o, "Text2", QString(300, QLatin1Char('d')), "Command1"},
            {l, "Text1", "", "Command1"},
            {l, "Text1", "/dev/parport0", nullptr},
            {l, "Text2", "x", "Command1"},
            {l, "Text2", "0", nullptr},
            {l, "Text3", "0", "Command1"},
            {l, "Text3", "1", nullptr},
            {l, "Text4", "0", "Command1"},
            {l, "Text4", "9010", nullptr},
            {l, "Text5", "x", "Command1"},
            {t, "TextNote[0]", "200", "CommandAppliquer"},
            {t, "TextNote[0]", "1", nullptr},
            {t, "TextPort", "80", "CommandAppliquer"},
            {t, "TextPort", "0", nullptr},
            {t, "TextRetour", QString(5000, QLatin1Char('1')), "CommandAppliquer"},
        };
        messages.reponses = {false};
        principale->findChild<QPushButton*>("Command5")->click();  // the quit question, answered No
        for (const Saisie& s : saisies) {
            s.fenetre->findChild<QLineEdit*>(s.champ)->setText(s.valeur);
            if (s.bouton == nullptr) continue;
            const qsizetype avant = messages.boxes.size();
            s.fenetre->findChild<QPushButton*>(s.bouton)->click();
            QVERIFY2(messages.boxes.size() == avant + 1, s.champ);
        }
        const qsizetype avant = messages.boxes.size();
        modes->findChild<QPushButton*>("Command2")->click();  // delete with no file selected
        modes->findChild<QComboBox*>("Combo1")->setCurrentIndex(0);
        modes->findChild<QPushButton*>("Command5")->click();  // save with no mode file
        QCOMPARE(messages.boxes.size(), avant + 2);
        modes->findChild<QPushButton*>("Command1")->click();  // the new file's dialog
        QCOMPARE(dialogues.dialogues.size(), 1);
        for (qsizetype i = 0; i < messages.boxes.size(); ++i) {
            const QString cle = QStringLiteral("message %1/").arg(i, 2, 10, QLatin1Char('0'));
            releve.insert(cle + QStringLiteral("texte"), {messages.boxes[i].texte, 0, {}});
            releve.insert(cle + QStringLiteral("titre"), {messages.boxes[i].titre, 0, {}});
        }
        releve.insert(QStringLiteral("fichier/titre"), {dialogues.dialogues[0].titre, 0, {}});
        releve.insert(QStringLiteral("fichier/filtre"), {dialogues.dialogues[0].filtre, 0, {}});
    }

    // Names from Config.ini and the machine, shown as they stand in every language.
    QStringList noms() const {
        QStringList liste = {QStringLiteral("/")};
        for (const auto* groupe : {&v.SortieA, &v.SortieB}) {
            for (const Sortie& s : *groupe) liste.append(QString::fromStdString(s.nom));
        }
        for (const AudioDeviceInfo& c : cartes.list) liste.append(QString::fromStdString(c.name));
        return liste;
    }

    FileDialogsEnregistres dialogues;
    MidiEnregistre midi;
    std::unique_ptr<Marche> marche;
    std::unique_ptr<FPrincipale> principale;
    std::unique_ptr<FenetresConfiguration> reglages;
    std::unique_ptr<Config_modes> modes;
    std::unique_ptr<Telecommande> telecommande;
    std::unique_ptr<FenetreTelecommande> fenetreTelecommande;
};

// Whether a line may read the same in both languages: a name, a language-neutral word, no word at all.
bool neutre(const QString& ligne, const QStringList& noms) {
    static const QRegularExpression sortie(QStringLiteral("^[AB][0-7]:$"));
    return !aDesLettres(ligne) || NEUTRES.contains(ligne) || noms.contains(ligne) || sortie.match(ligne).hasMatch();
}

}  // namespace

class FenetresEnAnglaisTest : public QObject {
    Q_OBJECT
private slots:
    void englishCaptionsFitAndNothingIsLeftInFrench();
};

void FenetresEnAnglaisTest::englishCaptionsFitAndNothingIsLeftInFrench() {
    QTemporaryDir francais, anglais;
    Releve source;
    {
        Programme p(francais.path());
        source = p.toutRelever();
        p.provoquerMessages(source);
        if (QTest::currentTestFailed()) return;
    }
    Traductions en(QStringLiteral("en"));
    en.installer();
    Programme p(anglais.path());
    Releve traduit = p.toutRelever();
    p.provoquerMessages(traduit);
    if (QTest::currentTestFailed()) return;
    const QStringList noms = p.noms();

    QCOMPARE(traduit.keys(), source.keys());
    QStringList fautes;
    for (auto it = traduit.cbegin(); it != traduit.cend(); ++it) {
        const Affiche& fr = source.value(it.key());
        const QStringList lignes = it->texte.split(QLatin1Char('\n'));
        const QStringList lignesFr = fr.texte.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lignes.size() && i < lignesFr.size(); ++i) {
            if (lignes[i] == lignesFr[i] && !neutre(lignes[i], noms)) {
                fautes.append(QStringLiteral("%1: \"%2\" left in French").arg(it.key(), lignes[i]));
            }
        }
        // Labels too wide for their place get a smaller font: English may not need more of it than French.
        if (it->points < fr.points) {
            fautes.append(QStringLiteral("%1: \"%2\" shrunk to %3 pt").arg(it.key(), it->texte).arg(it->points));
        }
        for (const QString& coupe : it->coupes) fautes.append(it.key() + QStringLiteral(": ") + coupe);
    }
    // One line each: a single message would be cut short.
    for (const QString& faute : fautes) qWarning().noquote() << faute;
    QVERIFY2(fautes.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(fautes.size())));
}

QTEST_MAIN(FenetresEnAnglaisTest)
#include "FenetresEnAnglaisTest.moc"
