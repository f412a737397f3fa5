// The main window's controls as a MIDI pad or an OSC surface clicks them: the same clicks as the
// mouse's, refused where the mouse would find the control disabled.
#include <QCheckBox>
#include <QPushButton>

#include "mainwindow/FPrincipale.h"
#include "ui/Controles.h"

namespace korvalen {

bool FPrincipale::boutonDirectBas(int k) const { return Check2_[static_cast<std::size_t>(k)]->valeur() == 1; }

bool FPrincipale::cliquerBoutonDirect(int k) {
    BoutonDirect* bouton = Check2_[static_cast<std::size_t>(k)];
    if (!bouton->isEnabled()) return false;
    bouton->click();
    return true;
}

bool FPrincipale::choisirModeParPosition(int position) {
    if (!File1_->isEnabled() || position < 0 || position >= File1_->count()) return false;
    File1_->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
    File1_DblClick();
    return true;
}

bool FPrincipale::choisirModeParNom(const QString& nom) {
    if (!File1_->isEnabled()) return false;
    const auto chercher = [&] {
        for (const QString& candidat : {nom, nom + QStringLiteral(".lum")}) {
            const QList<QListWidgetItem*> trouves =
                File1_->findItems(candidat, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (!trouves.isEmpty()) return File1_->row(trouves.first());
        }
        return -1;
    };
    int position = chercher();
    if (position < 0) {
        // A file saved since the list was last read.
        File1_->refresh();
        position = chercher();
    }
    return choisirModeParPosition(position);
}

bool FPrincipale::enMarche() const { return v_.enMarche != FAUX; }

bool FPrincipale::cliquerMarche() {
    if (!Command3_->isEnabled()) return false;
    Command3_->click();
    return true;
}

bool FPrincipale::cliquerInitialisation() {
    if (!Command8_->isEnabled()) return false;
    Command8_->click();
    return true;
}

std::array<bool, 16> FPrincipale::sortiesAllumees() const {
    std::array<bool, 16> allumees{};
    for (std::size_t n = 0; n < allumees.size(); ++n) allumees[n] = valeurCase(*Check1_[n]) == 1;
    return allumees;
}

}  // namespace korvalen
