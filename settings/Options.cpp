#include "settings/Options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "config/Configuration.h"
#include "settings/FenetreReglages.h"
#include "run/IMarche.h"
#include "ui/Messages.h"
#include "ui/Saisie.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

namespace {

// The refresh period is kept in a 16-bit signed value; a timer takes up to 65535 ms.
constexpr int PERIODE_RAFRAICHISSEMENT_MAX = 32767;
constexpr int PERIODE_CHENILLARD_MAX = 65535;
// A period typed by the operator, from 1 to `maximum` ms.
std::optional<int> periode(const QString& saisie, int maximum) {
    const std::optional<qint64> ms = entierSaisi(saisie, 1, maximum);
    return ms ? std::optional<int>(static_cast<int>(*ms)) : std::nullopt;
}

}  // namespace

Options::Options(Variables& v, IMarche& principale, IMessages& messages)
    : v_(v), principale_(principale), messages_(messages) {
    // The sound analysis takes a column of its own to the right of the original 4680 twips.
    // The lamp output's button takes a row of its own under the column, hence the taller window.
    setUpSecondaryWindow(*this, QStringLiteral("Options"), tr("Options"), 7800, 3735);
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Label, "Label1", {}, 120, 120, 2055, 255, tr("Temps de rafraichissement :")},
        {K::TextBox, "Text1", {}, 2280, 120, 495, 285, "200"},
        {K::Label, indexed("Label2", 0), {}, 2880, 120, 615, 255, "ms"},
        {K::Label, "Label3", {}, 120, 480, 2055, 255, tr("Repertoire des sauvegardes :")},
        {K::TextBox, "Text2", {}, 120, 840, 3735, 285},
        {K::Button, "Command3", {}, 3840, 840, 615, 255, "..."},
        {K::Label, "Label4", {}, 120, 1440, 1575, 255, tr("Choix de la carte son")},
        {K::DropDownList, "DevicesBox", {}, 1800, 1440, 2655, 315},
        {K::Label, "Label5", {}, 0, 2040, 2775, 255, tr("Temps de rafraichissement chenillard :")},
        {K::TextBox, "Text3", {}, 2880, 2040, 615, 285, "60"},
        {K::Label, indexed("Label2", 1), {}, 3600, 2040, 615, 255, "ms"},
        {K::Button, "Command2", {}, 2520, 2760, 975, 375, tr("Annuler")},
        {K::Button, "Command1", {}, 3600, 2760, 975, 375, tr("Appliquer")},
        {K::Frame, "Frame1", {}, 4800, 120, 2880, 2535, tr("Analyse du son")},
        {K::Option, indexed("Option1", 0), "Frame1", 120, 300, 2640, 300, tr("Échantillons")},
        {K::Option, indexed("Option1", 1), "Frame1", 120, 660, 2640, 300, tr("Bandes de fréquence")},
        {K::CheckBox, "Check1", "Frame1", 120, 1260, 2640, 300, tr("Gain automatique")},
        {K::CheckBox, "Check2", "Frame1", 120, 1740, 2640, 300, tr("Chenillard sur le rythme")},
        {K::Button, "Command5", {}, 4800, 3240, 2880, 375, tr("Sortie des lampes…")},
        {K::Button, "Command4", {}, 4800, 2760, 2880, 375, tr("Télécommande…")},
        {K::Label, "Label6", "Frame1", 120, 2100, 2640, 375,
         tr("Bandes : les lampes suivent le son, pas la période (échantillons seuls).")},
    });
    // What the period still governs once an analysis option is on, in small print beside it.
    auto* note = b.get<QLabel>("Label6");
    note->setWordWrap(true);
    note->setFont(windowFont(6.5));
    Text1_ = b.get<QLineEdit>("Text1");
    Text2_ = b.get<QLineEdit>("Text2");
    Text3_ = b.get<QLineEdit>("Text3");
    DevicesBox_ = b.get<QComboBox>("DevicesBox");
    Echantillons_ = b.get<QRadioButton>(indexed("Option1", 0));
    Bandes_ = b.get<QRadioButton>(indexed("Option1", 1));
    GainAuto_ = b.get<QCheckBox>("Check1");
    Rythme_ = b.get<QCheckBox>("Check2");
    connect(b.get<QPushButton>("Command1"), &QPushButton::clicked, this, &Options::Command1_Click);
    connect(b.get<QPushButton>("Command2"), &QPushButton::clicked, this, &Options::Command2_Click);
    connect(b.get<QPushButton>("Command3"), &QPushButton::clicked, this, &Options::Command3_Click);
    connect(b.get<QPushButton>("Command5"), &QPushButton::clicked, this, &Options::sortieDemandee);
    connect(b.get<QPushButton>("Command4"), &QPushButton::clicked, this, &Options::telecommandeDemandee);
    ajusterLibelles(*this);
    Form_Load();
    // The device list belongs to the whole run: a choice counts at once, whatever closes the window.
    connect(DevicesBox_, &QComboBox::currentIndexChanged, this,
            [this](int position) { principale_.choisirCarte(position); });
}

void Options::Form_Load() {
    Text1_->setText(QString::number(v_.Temps_timer));
    repertoireAffiche_ = QString::fromStdString(v_.repertoire);
    Text2_->setText(repertoireAffiche_);
    Text3_->setText(QStringLiteral("60"));
    principale_.actualiserCartes();  // a card plugged in since the start is offered
    for (const QString& nom : principale_.listeCartes()) DevicesBox_->addItem(nom);
    DevicesBox_->setCurrentIndex(principale_.carteChoisie());
    (v_.analyse.bandes ? Bandes_ : Echantillons_)->setChecked(true);
    GainAuto_->setChecked(v_.analyse.gainAuto);
    Rythme_->setChecked(v_.analyse.rythme);
}

void Options::recevoirDossier(const QString& dossier) { Text2_->setText(dossier); }

void Options::repertoireChange() {
    const QString actuel = QString::fromStdString(v_.repertoire);
    if (Text2_->text() == repertoireAffiche_) Text2_->setText(actuel);
    repertoireAffiche_ = actuel;
}

void Options::refuser(QLineEdit& champ, const QString& texte) {
    messages_.afficher(texte, windowTitle(), Icone::Exclamation);
    champ.setFocus();
    champ.selectAll();
}

void Options::Command1_Click() {
    // Both periods are checked before anything is applied, so that a bad one never reaches a timer.
    const std::optional<int> rafraichissement = periode(Text1_->text(), PERIODE_RAFRAICHISSEMENT_MAX);
    if (!rafraichissement) {
        refuser(*Text1_, tr("Le temps de rafraichissement doit être un nombre entier de millisecondes, de 1 à %1.")
                             .arg(PERIODE_RAFRAICHISSEMENT_MAX));
        return;
    }
    const std::optional<int> chenillard = periode(Text3_->text(), PERIODE_CHENILLARD_MAX);
    if (!chenillard) {
        refuser(*Text3_, tr("Le temps de rafraichissement chenillard doit être un nombre entier de millisecondes, "
                            "de 1 à %1.")
                             .arg(PERIODE_CHENILLARD_MAX));
        return;
    }
    // A longer value would come back cut after a restart.
    if (Text2_->text().size() > LONGUEUR_VALEUR_MAX) {
        refuser(*Text2_, tr("Le répertoire des sauvegardes ne peut pas dépasser %1 caractères (celui-ci "
                            "en compte %2).")
                             .arg(LONGUEUR_VALEUR_MAX)
                             .arg(Text2_->text().size()));
        return;
    }
    v_.Temps_timer = static_cast<Entier>(*rafraichissement);
    // A folder the box was never given (changed elsewhere since) is not written back.
    if (Text2_->text() != repertoireAffiche_) v_.repertoire = Text2_->text().toStdString();
    v_.analyse = {Bandes_->isChecked(), GainAuto_->isChecked(), Rythme_->isChecked()};
    principale_.appliquerAnalyse();
    std::optional<Texte> erreur = SauverOptions(v_);
    if (!erreur) erreur = SauverAnalyse(v_);
    // The card is kept by its name, so that it is found again whatever its place in a later list.
    const int carte = principale_.carteChoisie();
    const auto& cartes = principale_.listeCartes();
    if (!erreur && carte >= 0 && carte < static_cast<int>(cartes.size())) {
        erreur = SauverCarte(v_, cartes[static_cast<std::size_t>(carte)].toStdString(), carte == 0);
    }
    principale_.ActualiserListes();
    principale_.setPeriodeChenillard(*chenillard);
    fermerSiEnregistre(*this, erreur, messages_);
}

void Options::Command2_Click() { close(); }

void Options::Command3_Click() { emit dossierDemande(); }

}  // namespace korvalen
