#include "mainwindow/FPrincipale.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "config/Configuration.h"
#include "engine/Chenillards.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/Sorties.h"
#include "mainwindow/Controles.h"
#include "mainwindow/Messages.h"
#include "mainwindow/Twips.h"
#include "modes/FichierModes.h"

namespace korvalen {

namespace {

const QString POLICE = QStringLiteral("Sans Serif");  // stands in for MS Sans Serif
constexpr int LARGEUR_FENETRE = 8925, HAUTEUR_FENETRE = 5790;
const char* const LEGENDES_DIRECTES[5] = {"Chenillard", "Slow", "Inversé", "Bouton 4", "Bouton 5"};

// Buttons placed straight on the window.
struct BoutonFenetre {
    const char* nom;
    int gauche, haut, largeur, hauteur;
    const char* legende;
};
constexpr BoutonFenetre BOUTONS[] = {
    {"Command6", 0, 0, 2895, 255, "Config Modes"},       {"Command7", 3000, 0, 3735, 255, "Options"},
    {"Command2", 6840, 0, 2055, 255, "Config Sorties"},  {"Command3", 3000, 3720, 3735, 855, "Lancement"},
    {"Command4", 0, 5520, 2895, 255, "Config Boutons"},  {"Command8", 3000, 5520, 3735, 255, "Initialisation"},
    {"Command5", 6840, 5520, 2055, 255, "Quitter"},
};

QGroupBox* cadre(QWidget* parent, const char* nom, const char* legende, QRect r) {
    auto* f = new QGroupBox(QString::fromUtf8(legende), parent);
    f->setObjectName(QString::fromLatin1(nom));
    f->setGeometry(r);
    return f;
}

QString indexe(const char* nom, int i) { return QStringLiteral("%1[%2]").arg(QLatin1String(nom)).arg(i); }

QString texte(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FPrincipale::FPrincipale(Variables& v, IAudioDeviceEnumerator& cartes, IAudioInput& entree, IPort& port,
                         IMessages& messages, QString dossierProgramme, QWidget* parent)
    : QWidget(parent),
      v_(v),
      enumerateur_(cartes),
      port_(port),
      messages_(messages),
      dossierProgramme_(std::move(dossierProgramme)),
      capture_(entree) {
    setObjectName(QStringLiteral("FPrincipale"));
    setWindowTitle(QStringLiteral("Korvalen"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont(POLICE, 8));
    setFixedSize(twips(LARGEUR_FENETRE), twips(HAUTEUR_FENETRE));
    construireControles();
}

FPrincipale::~FPrincipale() = default;

void FPrincipale::construireControles() {
    for (const BoutonFenetre& b : BOUTONS) {
        auto* bouton = new QPushButton(QString::fromUtf8(b.legende), this);
        bouton->setObjectName(QString::fromLatin1(b.nom));
        bouton->setGeometry(rectTwips(b.gauche, b.haut, b.largeur, b.hauteur));
        if (QLatin1String(b.nom) == QLatin1String("Command3")) {
            Command3_ = bouton;
            continue;
        }
        boutonsConfig_.push_back(bouton);
        const QString nom = bouton->objectName();
        if (nom == QLatin1String("Command5")) {
            connect(bouton, &QPushButton::clicked, this, &FPrincipale::Command5_Click);
        } else if (nom == QLatin1String("Command8")) {
            connect(bouton, &QPushButton::clicked, this, &FPrincipale::Command8_Click);
        } else {
            connect(bouton, &QPushButton::clicked, this, [this, nom] { emit fenetreDemandee(nom); });
        }
    }
    QFont grasse(POLICE, 12);
    grasse.setBold(true);
    Command3_->setFont(grasse);
    connect(Command3_, &QPushButton::clicked, this, &FPrincipale::Command3_Click);

    QGroupBox* frame2 = cadre(this, "Frame2", "Modes de Fonctionnement", rectTwips(0, 360, 2895, 4215));
    Label1_ = new QLabel(frame2);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(rectTwips(120, 240, 2655, 375));
    QFont label(POLICE);
    label.setPointSizeF(9.75);
    label.setBold(true);
    Label1_->setFont(label);
    File1_ = new ListeFichiers(QStringLiteral("*.lum"), frame2);
    File1_->setObjectName(QStringLiteral("File1"));
    File1_->setGeometry(rectTwips(120, 720, 2655, 3210));
    connect(File1_, &ListeFichiers::doubleClic, this, &FPrincipale::File1_DblClick);

    QGroupBox* frame3 = cadre(this, "Frame3", "Barre Graph", rectTwips(3000, 360, 3735, 3255));
    for (int k = 0; k < NB_BARRES; ++k) {
        auto* barre = new QProgressBar(frame3);
        barre->setObjectName(indexe("ProgressBar1", k));
        barre->setOrientation(Qt::Vertical);
        barre->setRange(0, 100);
        barre->setValue(0);
        barre->setTextVisible(false);
        barre->setGeometry(rectTwips(120 + 360 * k, 360, 255, 2775));
        ProgressBar1_[k] = barre;
    }

    QGroupBox* frame1 = cadre(this, "Frame1", "Sorties", rectTwips(6840, 360, 2055, 4215));
    for (int i = 0; i < NB_INDICATEURS; ++i) {
        auto* c = new QCheckBox(QStringLiteral("Lumière"), frame1);
        c->setObjectName(indexe("Check1", i));
        c->setGeometry(rectTwips(120, 240 + 240 * i, 1815, 255));
        Check1_[i] = c;
    }

    QGroupBox* frame4 = cadre(this, "Frame4", "Boutons ", rectTwips(0, 4560, 8895, 855));
    for (int k = 0; k < 5; ++k) {
        auto* b = new BoutonDirect(frame4);
        b->setObjectName(indexe("Check2", k));
        b->setText(QString::fromUtf8(LEGENDES_DIRECTES[k]));
        b->setGeometry(rectTwips(120 + 1800 * k, 240, 1455, 495));
        Check2_[k] = b;
    }

    Timer1_ = new Minuterie(0, true, this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1_, &Minuterie::tick, this, &FPrincipale::Timer1_Timer);
    Timer2_ = new Minuterie(30, false, this);
    Timer2_->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2_, &Minuterie::tick, this, &FPrincipale::Timer2_Timer);

    // The run button comes first in the keyboard order and holds the focus.
    QWidget::setTabOrder(Command3_, File1_);
    setFocusProxy(Command3_);
}

bool FPrincipale::Form_Load() {
    InitDevices();
    if (nomsCartes_.empty()) {
        messages_.afficher(QStringLiteral("You have no audio input devices!"), QStringLiteral("Ack!"), Icone::Critique);
        return false;
    }
    v_.fichierINI = cheminConfig(dossierProgramme_.toStdString());
    ChargerSorties(v_);
    ChargerOptions(v_, dossierProgramme_.toStdString());
    ChargerBoutons(v_);
    Affichage_sortie(v_, *this);
    NumeroterSorties(v_);
    ActualiserListes();
    afficherNomMode();
    legendesBoutonsDirects();
    if (!v_.fichierLUM.empty()) ChargerModes(v_);
    Command3_->setFocus();
    return true;
}

void FPrincipale::InitDevices() {
    nomsCartes_.clear();
    numerosCartes_.clear();
    const std::vector<AudioDeviceInfo> liste = enumerateur_.devices();
    for (int d = 0; d < static_cast<int>(liste.size()); ++d) {
        // Devices without the capture format are left out; the position keeps its device number.
        if (!liste[d].supportsFormat) continue;
        nomsCartes_.push_back(texte(liste[d].name));
        numerosCartes_.push_back(d);
    }
    carteChoisie_ = nomsCartes_.empty() ? -1 : 0;
}

bool FPrincipale::ActualiserListes() { return File1_->setDossier(texte(v_.repertoire)); }

void FPrincipale::afficherNomMode() {
    QString nom = texte(v_.fichierLUM);
    nom.remove(QStringLiteral(".lum"), Qt::CaseSensitive);
    Label1_->setText(nom);
}

void FPrincipale::legendesBoutonsDirects() {
    for (int k = 0; k < 5; ++k) {
        const Entier b = v_.Bouton[k + 1];
        for (int j = 0; j < NB_SORTIES_GROUPE; ++j) {
            if (b == v_.SortieA[j].numero) Check2_[k]->setText(texte(v_.SortieA[j].nom));
            if (b == v_.SortieB[j].numero) Check2_[k]->setText(texte(v_.SortieB[j].nom));
        }
    }
}

void FPrincipale::setBoutonsConfigActifs(bool actifs) {
    for (QPushButton* b : boutonsConfig_) b->setEnabled(actifs);
}

void FPrincipale::Command3_Click() {
    if (v_.enMarche) {
        arreter();
    } else {
        demarrer();
    }
}

void FPrincipale::demarrer() {
    const int position = carteChoisie_;
    const int numero = (position >= 0 && position < static_cast<int>(numerosCartes_.size()))
                           ? numerosCartes_[position]
                           : -1;
    if (!capture_.ouvrirEtDemarrer(numero)) {
        messages_.afficher(QStringLiteral("Wave input device didn't open!"), QStringLiteral("Ack!"),
                           Icone::Exclamation);
        return;
    }
    silenceSignale_ = false;
    Timer2_->setEnabled(true);
    v_.enMarche = VRAI;
    Command3_->setText(QStringLiteral("Arret"));
    setBoutonsConfigActifs(false);
    Timer1_->setInterval(v_.Temps_timer);
    Timer1_->setEnabled(true);
}

void FPrincipale::arreter() {
    capture_.CloseDevice();
    Timer2_->setEnabled(false);
    v_.enMarche = FAUX;
    Command3_->setText(QStringLiteral("Lancement"));
    setBoutonsConfigActifs(true);
    Timer1_->setEnabled(false);
}

void FPrincipale::CaptureLevels() {
    const CaptureResult r = capture_.CaptureLevels(v_);
    for (int k = 0; k < NB_BARRES; ++k) ProgressBar1_[k]->setValue(static_cast<int>(v_.niveaux[k]));
    if (r == CaptureResult::TimedOut && !silenceSignale_) {
        // Told once per run: the bars keep the last levels until the input delivers again.
        silenceSignale_ = true;
        messages_.signaler(QStringLiteral("L'entrée audio ne délivre plus de son. Les barres gardent les derniers "
                                          "niveaux mesurés ; vérifiez la carte son ou le micro."),
                           QStringLiteral("Ack!"));
    }
    QCoreApplication::processEvents();
}

void FPrincipale::Timer1_Timer() {
    // A tick that would start inside the event pass of another is skipped.
    if (dansRafraichissement_) return;
    dansRafraichissement_ = true;
    CaptureLevels();
    if (!v_.chenillardActif) comparerNiveaux(v_);
    if (Check2_[0]->valeur() == 1) {
        v_.chenillardActif = VRAI;
        Timer2_->setEnabled(true);
    } else {
        v_.chenillardActif = FAUX;
        Timer2_->setEnabled(false);
        Check2_[2]->setValeur(0);
    }
    v_.slowActif = Check2_[1]->valeur() == 1 ? VRAI : FAUX;
    v_.inverseActif = Check2_[2]->valeur() == 1 ? VRAI : FAUX;
    Affichage_sortie(v_, *this);
    EcrireSorties(v_, port_);
    dansRafraichissement_ = false;
}

void FPrincipale::Timer2_Timer() { Chenillards(v_); }

void FPrincipale::File1_DblClick() {
    const QString nom = File1_->fichierSelectionne();
    if (nom.isEmpty()) return;
    v_.fichierLUM = nom.toStdString();
    afficherNomMode();
    ChargerModes(v_);
}

void FPrincipale::Command8_Click() {
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v_.SortieA[i].coche = FAUX;
        v_.SortieB[i].coche = FAUX;
    }
    Affichage_sortie(v_, *this);
    EcrireSorties(v_, port_);
}

bool FPrincipale::demanderQuitter() {
    return messages_.demander(QStringLiteral("Voulez-vous vraiment Quitter!"), QStringLiteral("Quitter"));
}

void FPrincipale::Command5_Click() {
    if (demanderQuitter()) emit quitter();
}

void FPrincipale::closeEvent(QCloseEvent* event) {
    // While capture runs the close box is refused and the capture left untouched; "Arret" stops it first.
    if (v_.enMarche || !demanderQuitter()) {
        event->ignore();
        return;
    }
    event->accept();
    emit quitter();
}

void FPrincipale::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centree_) return;
    centree_ = true;
    if (const QScreen* ecran = screen()) {
        QRect cadreFenetre = frameGeometry();
        cadreFenetre.moveCenter(ecran->availableGeometry().center());
        move(cadreFenetre.topLeft());
    }
    Command3_->setFocus();
}

void FPrincipale::setCaption(int indicateur, const std::string& t) { Check1_[indicateur]->setText(texte(t)); }

void FPrincipale::setValue(int indicateur, int valeur) { setValeurCase(*Check1_[indicateur], valeur); }

}  // namespace korvalen
