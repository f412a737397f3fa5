// The main window's controls as a MIDI pad or an OSC surface clicks them: the same clicks as the
// mouse's, refused where the mouse would find the control disabled or the window held by a question.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

#include "mainwindow/FPrincipale.h"
#include "ui/Controles.h"

namespace korvalen {

namespace {
// A message box waiting for its answer keeps the mouse off the window: the remote waits too.
bool utilisable(const QWidget& controle) { return controle.isEnabled() && QApplication::activeModalWidget() == nullptr; }
}  // namespace

bool FPrincipale::boutonDirectBas(int k) const { return v_.boutonsDirects[static_cast<std::size_t>(k)] == 1; }

bool FPrincipale::cliquerBoutonDirect(int k) {
    const auto i = static_cast<std::size_t>(k);
    BoutonDirect* bouton = Check2_[i];
    if (!utilisable(*bouton)) return false;
    // A press turns the state over as a click would (greyed counts as up); the button on screen
    // follows it and tells the change.
    v_.boutonsDirects[i] = v_.boutonsDirects[i] == 1 ? 0 : 1;
    bouton->setValeur(v_.boutonsDirects[i]);
    return true;
}

// The remote chooses within the list as it stands: it never re-reads the folder nor moves the
// operator's selection, so that a flood of names costs a lookup each and leaves the list alone.
bool FPrincipale::choisirModeParPosition(int position) {
    if (!utilisable(*File1_) || position < 0 || position >= File1_->count()) return false;
    chargerMode(File1_->item(position)->text());
    return true;
}

bool FPrincipale::choisirModeParNom(const QString& nom) {
    if (!utilisable(*File1_)) return false;
    int position = File1_->ligne(nom);
    if (position < 0) position = File1_->ligne(nom + QStringLiteral(".lum"));
    return choisirModeParPosition(position);
}

bool FPrincipale::enMarche() const { return v_.enMarche != FAUX; }

bool FPrincipale::cliquerMarche() {
    if (!utilisable(*Command3_)) return false;
    Command3_->click();
    return true;
}

bool FPrincipale::cliquerInitialisation() {
    if (!utilisable(*Command8_)) return false;
    Command8_->click();
    return true;
}

std::array<bool, 16> FPrincipale::sortiesAllumees() const {
    std::array<bool, 16> allumees{};
    for (std::size_t n = 0; n < allumees.size(); ++n) allumees[n] = valeurCase(*Check1_[n]) == 1;
    return allumees;
}

}  // namespace korvalen
