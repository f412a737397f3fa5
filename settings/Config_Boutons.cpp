#include "settings/Config_Boutons.h"

#include <QComboBox>
#include <QPushButton>

#include "config/Configuration.h"
#include "settings/FenetreReglages.h"
#include "run/IMarche.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

Config_Boutons::Config_Boutons(Variables& v, IMarche& principale, IMessages& messages)
    : v_(v), principale_(principale), messages_(messages) {
    setUpSecondaryWindow(*this, QStringLiteral("Config_Boutons"), tr("Configuration des boutons"),
                         2985, 2475);
    using K = ControlKind;
    WindowBuilder b(*this);
    for (int i = 0; i < 5; ++i) {
        b.add({
            {K::Label, indexed("Label1", i), {}, 480, 120 + 360 * i, 855, 255, tr("Bouton %1 :").arg(i + 1)},
            {K::DropDownList, indexed("Combo1", i), {}, 1440, 120 + 360 * i, 1215, 315},
        });
        Combo1_[i] = b.get<QComboBox>(indexed("Combo1", i));
    }
    b.add({
        {K::Button, "Command1", {}, 120, 2040, 1095, 375, tr("Annuler")},
        {K::Button, "Command2", {}, 1680, 2040, 1215, 375, tr("Appliquer")},
    });
    connect(b.get<QPushButton>("Command1"), &QPushButton::clicked, this, &Config_Boutons::Command1_Click);
    connect(b.get<QPushButton>("Command2"), &QPushButton::clicked, this, &Config_Boutons::Command2_Click);
    ajusterLibelles(*this);
    Form_Load();
}

void Config_Boutons::Form_Load() {
    for (QComboBox* c : Combo1_) {
        for (const Sortie& s : v_.SortieA) c->addItem(QString::fromStdString(s.nom));
        for (const Sortie& s : v_.SortieB) c->addItem(QString::fromStdString(s.nom));
        // The current assignments are not shown: a row left alone unassigns its button.
        c->setCurrentIndex(-1);
    }
}

void Config_Boutons::Command1_Click() { close(); }

void Config_Boutons::Command2_Click() {
    for (int i = 0; i < 5; ++i) {
        const int b = i + 1;
        const int p = Combo1_[i]->currentIndex();
        if (p == -1) {
            v_.Bouton[b] = -1;
            principale_.setLegendeBoutonDirect(i, tr("bouton %1").arg(b));
            continue;
        }
        for (int j = 0; j < NB_SORTIES_GROUPE; ++j) {
            for (const Sortie* s : {&v_.SortieA[j], &v_.SortieB[j]}) {
                if (p != s->numero) continue;
                v_.Bouton[b] = s->numero;
                principale_.setLegendeBoutonDirect(i, QString::fromStdString(s->nom));
            }
        }
    }
    fermerSiEnregistre(*this, SauverBoutons(v_), messages_);
}

}  // namespace korvalen
