#include "mainwindow/FPrincipale.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "run/Marche.h"
#include "ui/Controles.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

namespace {

constexpr int LARGEUR_FENETRE = 8925, HAUTEUR_FENETRE = 5790;
const char* const LEGENDES_DIRECTES[5] = {
    QT_TRANSLATE_NOOP("korvalen::FPrincipale", "Chenillard"), QT_TRANSLATE_NOOP("korvalen::FPrincipale", "Slow"),
    QT_TRANSLATE_NOOP("korvalen::FPrincipale", "Inversé"), QT_TRANSLATE_NOOP("korvalen::FPrincipale", "Bouton 4"),
    QT_TRANSLATE_NOOP("korvalen::FPrincipale", "Bouton 5")};

}  // namespace

FPrincipale::FPrincipale(Marche& marche, IMessages& messages, QWidget* parent)
    : QWidget(parent), marche_(marche), messages_(messages) {
    setUpFixedWindow(*this, QStringLiteral("FPrincipale"), QStringLiteral("Korvalen"), LARGEUR_FENETRE,
                     HAUTEUR_FENETRE);
    construireControles();
    marche_.setVue(this);
    // Nothing to listen to ends the program without a question.
    connect(&marche_, &Marche::quitter, this, [this] {
        quitteConfirme_ = true;
        emit quitter();
    });
}

FPrincipale::~FPrincipale() { marche_.setVue(nullptr); }

void FPrincipale::construireControles() {
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Button, "Command6", {}, 0, 0, 2895, 255, tr("Config Modes")},
        {K::Button, "Command7", {}, 3000, 0, 3735, 255, tr("Options")},
        {K::Button, "Command2", {}, 6840, 0, 2055, 255, tr("Config Sorties")},
        {K::Frame, "Frame2", {}, 0, 360, 2895, 4215, tr("Modes de Fonctionnement")},
        {K::Label, "Label1", "Frame2", 120, 240, 2655, 375},
        {K::FileList, "File1", "Frame2", 120, 720, 2655, 3210, "*.lum"},
        {K::Frame, "Frame3", {}, 3000, 360, 3735, 3255, tr("Barre Graph")},
        {K::Button, "Command3", {}, 3000, 3720, 3735, 855, tr("Lancement")},
        {K::Frame, "Frame1", {}, 6840, 360, 2055, 4215, tr("Sorties")},
        {K::Frame, "Frame4", {}, 0, 4560, 8895, 855, tr("Boutons ")},
        {K::Button, "Command4", {}, 0, 5520, 2895, 255, tr("Config Boutons")},
        {K::Button, "Command8", {}, 3000, 5520, 3735, 255, tr("Initialisation")},
        {K::Button, "Command5", {}, 6840, 5520, 2055, 255, tr("Quitter")},
    });
    Label1_ = b.get<QLabel>("Label1");
    Label1_->setFont(windowFont(9.75, true));
    File1_ = b.get<ListeFichiers>("File1");
    connect(File1_, &ListeFichiers::doubleClic, this, &FPrincipale::File1_DblClick);

    Command3_ = b.get<QPushButton>("Command3");
    Command3_->setFont(windowFont(12, true));
    connect(Command3_, &QPushButton::clicked, &marche_, &Marche::Command3_Click);
    connect(b.get<QPushButton>("Command5"), &QPushButton::clicked, this, &FPrincipale::Command5_Click);
    Command8_ = b.get<QPushButton>("Command8");
    connect(Command8_, &QPushButton::clicked, &marche_, &Marche::Command8_Click);
    for (const char* nom : {"Command6", "Command7", "Command2", "Command4"}) {
        connect(b.get<QPushButton>(nom), &QPushButton::clicked, this,
                [this, nom] { emit fenetreDemandee(QString::fromLatin1(nom)); });
    }
    for (const char* nom : {"Command2", "Command4", "Command5", "Command6", "Command7", "Command8"}) {
        boutonsConfig_.push_back(b.get<QPushButton>(nom));
    }

    QWidget* frame3 = b.get("Frame3");
    for (int k = 0; k < NB_BARRES; ++k) {
        auto* barre = new BarreNiveau(frame3);
        barre->setObjectName(indexed("ProgressBar1", k));
        barre->setAccessibleName(tr("Niveau de la barre %1").arg(k + 1));
        barre->setGeometry(rectTwips(120 + 360 * k, 360, 255, 2775));
        ProgressBar1_[k] = barre;
    }
    for (int i = 0; i < NB_INDICATEURS; ++i) {
        Check1_[i] = static_cast<QCheckBox*>(
            b.add({K::CheckBox, indexed("Check1", i), "Frame1", 120, 240 + 240 * i, 1815, 255, tr("Lumière")}));
    }
    QWidget* frame4 = b.get("Frame4");
    for (int k = 0; k < 5; ++k) {
        auto* d = new BoutonDirect(frame4);
        d->setObjectName(indexed("Check2", k));
        d->setText(tr(LEGENDES_DIRECTES[k]));
        d->setGeometry(rectTwips(120 + 1800 * k, 240, 1455, 495));
        // A click sets the state only: the next refresh tick samples it.
        connect(d, &BoutonDirect::valeurChangee, this,
                [this, k](int valeur) { marche_.setBoutonDirect(k, static_cast<Entier>(valeur)); });
        Check2_[k] = d;
    }

    // The run button comes first in the keyboard order and holds the focus; the rest follows the
    // layout: the top row, the columns from left to right, the live buttons, the bottom row.
    std::vector<QWidget*> ordre = {Command3_, b.get("Command6"), b.get("Command7"), b.get("Command2"), File1_};
    ordre.insert(ordre.end(), Check1_.begin(), Check1_.end());
    ordre.insert(ordre.end(), Check2_.begin(), Check2_.end());
    ordre.insert(ordre.end(), {b.get("Command4"), b.get("Command8"), b.get("Command5")});
    for (std::size_t i = 1; i < ordre.size(); ++i) QWidget::setTabOrder(ordre[i - 1], ordre[i]);
    setFocusProxy(Command3_);
}

bool FPrincipale::Form_Load() {
    if (!marche_.demarrage()) return false;
    Command3_->setFocus();
    return true;
}

void FPrincipale::File1_DblClick() { marche_.chargerMode(File1_->fichierSelectionne()); }

bool FPrincipale::demanderQuitter() {
    return messages_.demander(tr("Voulez-vous vraiment Quitter!"), tr("Quitter"));
}

void FPrincipale::Command5_Click() {
    if (!demanderQuitter()) return;
    quitteConfirme_ = true;
    emit quitter();
}

void FPrincipale::closeEvent(QCloseEvent* event) {
    // Quitting the application closes its windows: the answer already given holds.
    if (quitteConfirme_) {
        event->accept();
        return;
    }
    // While capture runs or starts the close box is refused and the capture left untouched; "Arret" stops it first.
    if (marche_.enMarche() || marche_.lancementEnAttente() || !demanderQuitter()) {
        event->ignore();
        return;
    }
    quitteConfirme_ = true;
    event->accept();
    emit quitter();
}

void FPrincipale::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centree_) return;
    centree_ = true;
    centreOnScreen(*this);
    Command3_->setFocus();
}

// ---- What the run shows ----

void FPrincipale::setCaption(int indicateur, const std::string& t) {
    Check1_[indicateur]->setText(literalCaption(QString::fromStdString(t)));
}

void FPrincipale::setValue(int indicateur, int valeur) {
    if (valeurCase(*Check1_[indicateur]) == valeur) return;
    setValeurCase(*Check1_[indicateur], valeur);
}

void FPrincipale::poserNiveaux(const std::array<float, NB_BARRES>& niveaux) {
    for (int k = 0; k < NB_BARRES; ++k) ProgressBar1_[k]->setValue(static_cast<int>(niveaux[k]));
}

void FPrincipale::peindreNiveaux() {
    for (BarreNiveau* barre : ProgressBar1_) barre->showValue();
}

void FPrincipale::montrerMarche(bool enMarche) {
    Command3_->setText(enMarche ? tr("Arret") : tr("Lancement"));
}

void FPrincipale::montrerBoutonsConfigActifs(bool actifs) {
    for (QPushButton* b : boutonsConfig_) b->setEnabled(actifs);
}

void FPrincipale::montrerBoutonDirect(int k, Entier valeur) { Check2_[k]->setValeur(valeur); }

void FPrincipale::montrerLegendeBoutonDirect(int k, const QString& legende) {
    Check2_[k]->setText(literalCaption(legende));
}

void FPrincipale::montrerNomMode(const QString& nom) { Label1_->setText(nom); }

bool FPrincipale::montrerDossier(const QString& dossier) { return File1_->setDossier(dossier); }

std::optional<QString> FPrincipale::modeListe(int position) const {
    if (position < 0 || position >= File1_->count()) return std::nullopt;
    return File1_->item(position)->text();
}

int FPrincipale::positionMode(const QString& nom) const { return File1_->ligne(nom); }

bool FPrincipale::utilisable(Controle controle, int k) const {
    // A message box waiting for its answer keeps the mouse off the window: the remote waits too.
    if (QApplication::activeModalWidget() != nullptr) return false;
    switch (controle) {
        case Controle::BoutonDirect: return Check2_[static_cast<std::size_t>(k)]->isEnabled();
        case Controle::ListeModes: return File1_->isEnabled();
        case Controle::Marche: return Command3_->isEnabled();
        case Controle::Initialisation: return Command8_->isEnabled();
    }
    return false;
}

}  // namespace korvalen
