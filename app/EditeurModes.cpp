#include "app/EditeurModes.h"

#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

EditeurModes::EditeurModes(Variables& v, FPrincipale& principale, IMessages& messages, IFileDialogs& dialogues)
    : v_(v), principale_(principale), messages_(messages), dialogues_(dialogues) {
    connect(&principale.marche(), &Marche::listesActualisees, this, &EditeurModes::listesActualisees);
    connect(&principale.marche(), &Marche::nomModeAffiche, this, &EditeurModes::nomModeAffiche);
    connect(&principale.marche(), &Marche::modeCharge, this, &EditeurModes::modeCharge);
    connect(&principale, &FPrincipale::fenetreDemandee, this, [this](const QString& bouton) {
        if (bouton == QLatin1String("Command6")) afficher();
    });
}

EditeurModes::~EditeurModes() { delete editeur_.data(); }

Config_modes& EditeurModes::exister() {
    if (editeur_) return *editeur_;
    // Known before the opening runs: the opening refreshes the lists, which refers to the editor again.
    editeur_ = new Config_modes(v_, principale_.marche(), messages_, dialogues_);
    Config_modes* cree = editeur_;
    // A closed editor is gone at once for every later reference, before Qt deletes it.
    connect(cree, &Config_modes::fermee, this, [this, cree] {
        if (editeur_ == cree) editeur_ = nullptr;
    });
    cree->Form_Load();
    return *cree;
}

void EditeurModes::afficher() {
    Config_modes& e = exister();
    if (e.isVisible()) {
        e.raise();
        e.activateWindow();
        return;
    }
    e.show();
    centreOnScreen(e);
}

void EditeurModes::listesActualisees() {
    Config_modes& e = exister();
    e.pointerListe();
    // A new save folder may name another mode by the same file name.
    e.affichageconfigsorties();
}

void EditeurModes::modeCharge() {
    if (editeur_) editeur_->affichageconfigsorties();
}

void EditeurModes::nomModeAffiche() { exister().afficherNomMode(); }

}  // namespace korvalen
