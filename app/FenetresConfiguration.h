#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "settings/Config_Boutons.h"
#include "settings/Config_sorties.h"
#include "settings/Options.h"
#include "settings/SortieDesLampes.h"
#include "settings/frmFolder.h"
#include "engine/Variables.h"

namespace korvalen {

class IMarche;
class IMessages;

/// Opens the settings windows at the main window's request, one of each at a time, and hands the
/// folder confirmed in the folder picker to the options window.
class FenetresConfiguration : public QObject {
    Q_OBJECT
public:
    /// `lecteurs` gives the drives of the folder picker each time it is created.
    FenetresConfiguration(Variables& v, IMarche& principale, IMessages& messages,
                          std::function<QStringList()> lecteurs);
    ~FenetresConfiguration() override;

    /// Shows the window of a main-window button ("Command2", "Command4", "Command7"), built afresh
    /// from the current values unless it is already there.
    void ouvrir(const QString& bouton);
    /// The save folder changed elsewhere (the mode editor's "Add"): an open options window shows it.
    void repertoireChange();
    /// Receives the lamp output applied in "Sortie des lampes", to be reopened at once.
    void setSortieAppliquee(std::function<void(const ReglagesPort&)> appliquer) { sortieAppliquee_ = std::move(appliquer); }

    // The windows as they stand; null when closed.
    Config_sorties* sorties() const { return sorties_; }
    Config_Boutons* boutons() const { return boutons_; }
    Options* options() const { return options_; }
    frmFolder* selecteurDossier() const { return dossier_; }
    SortieDesLampes* sortieDesLampes() const { return lampes_; }

signals:
    /// The options window's "Télécommande…": the remote control's window is the entry point's to open.
    void telecommandeDemandee();

private:
    Options& creerOptions();
    void montrerSelecteurDossier();
    void montrerSortieDesLampes();
    void dossierChoisi(const QString& dossier);

    Variables& v_;
    IMarche& principale_;
    IMessages& messages_;
    std::function<QStringList()> lecteurs_;
    QPointer<Config_sorties> sorties_;
    QPointer<Config_Boutons> boutons_;
    QPointer<Options> options_;
    QPointer<frmFolder> dossier_;
    QPointer<SortieDesLampes> lampes_;
    std::function<void(const ReglagesPort&)> sortieAppliquee_;
};

}  // namespace korvalen
