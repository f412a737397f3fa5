#pragma once

#include <QObject>
#include <QPointer>

#include "engine/Variables.h"
#include "modes/Config_modes.h"

namespace korvalen {

class FPrincipale;
class IFileDialogs;
class IMessages;

/// Owns the mode editor through its life: created hidden when first referred to (each creation runs
/// its opening), shown on request, destroyed when closed, created again at the next reference.
class EditeurModes : public QObject {
    Q_OBJECT
public:
    /// Follows the run through the main window: its list refresh, its mode label, and the window's "Config Modes" button.
    EditeurModes(Variables& v, FPrincipale& principale, IMessages& messages, IFileDialogs& dialogues);
    ~EditeurModes() override;

    /// The editor, or null while it does not exist.
    Config_modes* fenetre() const { return editeur_; }
    /// The editor, created hidden first if it does not exist.
    Config_modes& exister();

    /// "Config Modes": shows the editor beside the main window, centred when it appears.
    void afficher();
    /// The main window's list was pointed at `repertoire`: the editor's list follows.
    void listesActualisees();
    /// The main window's mode label changed: the editor's label shows the same name.
    void nomModeAffiche();
    /// The mode in memory changed under the editor: it shows its selected output again, so that
    /// "Enregistrer" never writes what another mode showed.
    void modeCharge();

private:
    Variables& v_;
    FPrincipale& principale_;
    IMessages& messages_;
    IFileDialogs& dialogues_;
    QPointer<Config_modes> editeur_;
};

}  // namespace korvalen
