#include "settings/Config_sorties.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "config/Configuration.h"
#include "settings/FenetreReglages.h"
#include "ui/Controles.h"
#include "run/IMarche.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

Config_sorties::Config_sorties(Variables& v, IMarche& principale, IMessages& messages)
    : v_(v), principale_(principale), messages_(messages) {
    setUpSecondaryWindow(*this, QStringLiteral("Config_sorties"), tr("Configuration des sorties"),
                         5160, 3915);
    using K = ControlKind;
    WindowBuilder b(*this);
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        const int haut = 360 * i;
        b.add({
            {K::Label, indexed("Label2", i), {}, 0, haut, 375, 255, QStringLiteral("A%1:").arg(i)},
            {K::TextBox, indexed("Text1", i), {}, 360, haut, 1695, 285},
            {K::CheckBox, indexed("Check1", i), {}, 2160, haut, 255, 255},
            {K::Label, indexed("Label3", i), {}, 2640, haut, 255, 255, QStringLiteral("B%1:").arg(i)},
            {K::TextBox, indexed("Text2", i), {}, 3000, haut, 1695, 285},
            {K::CheckBox, indexed("Check2", i), {}, 4800, haut, 255, 255},
        });
        Text1_[i] = b.get<QLineEdit>(indexed("Text1", i));
        Text2_[i] = b.get<QLineEdit>(indexed("Text2", i));
        Check1_[i] = b.get<QCheckBox>(indexed("Check1", i));
        Check2_[i] = b.get<QCheckBox>(indexed("Check2", i));
    }
    b.add({
        {K::Line, "Line1", {}, 2520, 0, 30, 2760},
        {K::Button, "Command3", {}, 0, 2880, 5175, 495, tr("Ecriture des sorties")},
        {K::Button, "Command2", {}, 2760, 3480, 1095, 375, tr("Annuler")},
        {K::Button, "Command1", {}, 3960, 3480, 1095, 375, tr("Appliquer")},
    });
    connect(b.get<QPushButton>("Command1"), &QPushButton::clicked, this, &Config_sorties::Command1_Click);
    connect(b.get<QPushButton>("Command2"), &QPushButton::clicked, this, &Config_sorties::Command2_Click);
    connect(b.get<QPushButton>("Command3"), &QPushButton::clicked, this, &Config_sorties::Command3_Click);
    ajusterLibelles(*this);
    Form_Load();
}

void Config_sorties::Form_Load() {
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        setValeurCase(*Check1_[i], v_.SortieA[i].coche ? 1 : 0);
        setValeurCase(*Check2_[i], v_.SortieB[i].coche ? 1 : 0);
        Text1_[i]->setText(QString::fromStdString(v_.SortieA[i].nom));
        Text2_[i]->setText(QString::fromStdString(v_.SortieB[i].nom));
    }
}

void Config_sorties::prendreCoches() {
    // A greyed box is not cleared, so it counts as ticked.
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v_.SortieA[i].coche = valeurCase(*Check1_[i]) != 0 ? VRAI : FAUX;
        v_.SortieB[i].coche = valeurCase(*Check2_[i]) != 0 ? VRAI : FAUX;
    }
}

void Config_sorties::Command1_Click() {
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v_.SortieA[i].nom = Text1_[i]->text().toStdString();
        v_.SortieB[i].nom = Text2_[i]->text().toStdString();
    }
    prendreCoches();
    principale_.afficherSorties();
    fermerSiEnregistre(*this, SauverSorties(v_), messages_);
}

void Config_sorties::Command2_Click() { close(); }

void Config_sorties::Command3_Click() {
    prendreCoches();
    principale_.afficherSorties();
    principale_.ecrireSorties();
}

}  // namespace korvalen
