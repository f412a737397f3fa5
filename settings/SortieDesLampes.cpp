#include "settings/SortieDesLampes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "settings/FenetreReglages.h"
#include "engine/Verrous.h"
#include "ui/Messages.h"
#include "ui/Saisie.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

SortieDesLampes::SortieDesLampes(std::string fichierINI, IMessages& messages)
    : fichierINI_(std::move(fichierINI)), messages_(messages) {
    setUpSecondaryWindow(*this, QStringLiteral("SortieDesLampes"), tr("Sortie des lampes"), 5040, 4200);
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Frame, "Frame1", {}, 120, 120, 4800, 1095, tr("Sortie")},
        {K::Option, indexed("Option1", 0), "Frame1", 120, 300, 4560, 300, tr("Port parallèle")},
        {K::Option, indexed("Option1", 1), "Frame1", 120, 660, 4560, 300, tr("OLA (DMX, Art-Net, sACN)")},
        {K::Label, "Label1", {}, 120, 1380, 1455, 255, tr("Peripherique :")},
        {K::TextBox, "Text1", {}, 1680, 1320, 3240, 285},
        {K::Label, "Label2", {}, 120, 1800, 1455, 255, tr("Univers :")},
        {K::TextBox, "Text2", {}, 1680, 1740, 1215, 285},
        {K::Label, "Label3", {}, 120, 2220, 1455, 255, tr("Canal :")},
        {K::TextBox, "Text3", {}, 1680, 2160, 1215, 285},
        {K::Label, "Label4", {}, 120, 2640, 1455, 255, tr("PortOLA :")},
        {K::TextBox, "Text4", {}, 1680, 2580, 1215, 285},
        {K::CheckBox, "Check1", {}, 120, 3000, 4800, 300, tr("Niveaux : l'intensité suit la barre")},
        {K::Label, "Label5", {}, 120, 3420, 1455, 255, tr("Descente :")},
        {K::TextBox, "Text5", {}, 1680, 3360, 1215, 285},
        {K::Label, "Label6", {}, 3000, 3420, 495, 255, "ms"},
        {K::Button, "Command2", {}, 2760, 3720, 975, 375, tr("Annuler")},
        {K::Button, "Command1", {}, 3840, 3720, 1095, 375, tr("Appliquer")},
    });
    Parallele_ = b.get<QRadioButton>(indexed("Option1", 0));
    Ola_ = b.get<QRadioButton>(indexed("Option1", 1));
    Peripherique_ = b.get<QLineEdit>("Text1");
    Univers_ = b.get<QLineEdit>("Text2");
    Canal_ = b.get<QLineEdit>("Text3");
    PortOLA_ = b.get<QLineEdit>("Text4");
    Niveaux_ = b.get<QCheckBox>("Check1");
    Descente_ = b.get<QLineEdit>("Text5");
    connect(b.get<QPushButton>("Command1"), &QPushButton::clicked, this, &SortieDesLampes::Command1_Click);
    connect(b.get<QPushButton>("Command2"), &QPushButton::clicked, this, &SortieDesLampes::Command2_Click);
    connect(Ola_, &QRadioButton::toggled, this, &SortieDesLampes::griser);
    ajusterLibelles(*this);
    Form_Load();
}

void SortieDesLampes::Form_Load() {
    const ReglagesPort r = ChargerPort(fichierINI_);
    (r.sortie == ReglagesPort::Sortie::Ola ? Ola_ : Parallele_)->setChecked(true);
    Peripherique_->setText(QString::fromStdString(r.peripherique));
    Univers_->setText(QString::number(r.univers));
    Canal_->setText(QString::number(r.canal));
    PortOLA_->setText(QString::number(r.portOLA));
    Niveaux_->setChecked(r.niveaux);
    Descente_->setText(QString::number(r.descente));
    griser();
}

// Each field stays editable; the ones the chosen output does not use are greyed out.
void SortieDesLampes::griser() {
    const bool ola = Ola_->isChecked();
    Peripherique_->setEnabled(!ola);
    for (QWidget* w : std::initializer_list<QWidget*>{Univers_, Canal_, PortOLA_, Niveaux_, Descente_}) {
        w->setEnabled(ola);
    }
}

bool SortieDesLampes::refuser(QLineEdit& champ, const QString& texte) {
    messages_.afficher(texte, windowTitle(), Icone::Exclamation);
    champ.setEnabled(true);
    champ.setFocus();
    champ.selectAll();
    return false;
}

void SortieDesLampes::Command1_Click() {
    // Every field is checked before anything is stored or reopened.
    ReglagesPort r;
    r.sortie = Ola_->isChecked() ? ReglagesPort::Sortie::Ola : ReglagesPort::Sortie::Parallele;
    const QString peripherique = Peripherique_->text().trimmed();
    if (peripherique.isEmpty() || peripherique.size() > LONGUEUR_VALEUR_MAX) {
        refuser(*Peripherique_, tr("Peripherique doit nommer le périphérique du port parallèle "
                                   "(/dev/parport0 d'ordinaire), en %1 caractères au plus.")
                                    .arg(LONGUEUR_VALEUR_MAX));
        return;
    }
    r.peripherique = peripherique.toStdString();
    const auto univers = entierSaisi(Univers_->text(), 0, UINT32_MAX);
    if (!univers) {
        refuser(*Univers_, tr("Univers doit être un nombre entier, de %1 à %2.").arg(0).arg(UINT32_MAX));
        return;
    }
    const auto canal = entierSaisi(Canal_->text(), 1, CANAL_MAX);
    if (!canal) {
        refuser(*Canal_, tr("Canal (le premier des seize canaux DMX) doit être un nombre entier, de %1 à %2.")
                             .arg(1)
                             .arg(CANAL_MAX));
        return;
    }
    const auto portOLA = entierSaisi(PortOLA_->text(), 1, UINT16_MAX);
    if (!portOLA) {
        refuser(*PortOLA_, tr("PortOLA (le port des clients de olad) doit être un nombre entier, de %1 à %2.")
                               .arg(1)
                               .arg(UINT16_MAX));
        return;
    }
    const auto descente = entierSaisi(Descente_->text(), 0, DESCENTE_MAX);
    if (!descente) {
        refuser(*Descente_, tr("Descente doit être un nombre entier de millisecondes, de %1 à %2.").arg(0).arg(DESCENTE_MAX));
        return;
    }
    r.univers = static_cast<std::uint32_t>(*univers);
    r.canal = static_cast<int>(*canal);
    r.portOLA = static_cast<std::uint16_t>(*portOLA);
    r.niveaux = Niveaux_->isChecked();
    r.descente = static_cast<int>(*descente);
    // The lamps follow at once, even when the file cannot be written: the window then stays open.
    emit sortieAppliquee(r);
    fermerSiEnregistre(*this, SauverPort(r, fichierINI_), messages_);
}

void SortieDesLampes::Command2_Click() { close(); }

}  // namespace korvalen
