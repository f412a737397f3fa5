#pragma once
// What the secondary windows ask of the run, so that no window's folder includes another's.

#include <QString>
#include <vector>

namespace korvalen {

/// The run as the mode editor and the settings windows reach it: its state, and what it has the main window show.
class IMarche {
public:
    virtual ~IMarche() = default;
    /// Points the mode-file lists at `repertoire`; false when that folder does not exist.
    virtual bool ActualiserListes() = 0;
    /// The mode label shows `fichierLUM` without ".lum".
    virtual void afficherNomMode() = 0;
    /// The sixteen output indicators show the records' names and the current states.
    virtual void afficherSorties() = 0;
    /// Sends the current output states to the lamps.
    virtual void ecrireSorties() = 0;
    /// Caption of live button `k` (0 to 4).
    virtual void setLegendeBoutonDirect(int k, const QString& legende) = 0;
    /// Period of the chaser timer, in ms (0 = no tick); whether it runs is unchanged.
    virtual void setPeriodeChenillard(int ms) = 0;
    /// The capture devices offered, by list position, and the position chosen for the next start.
    virtual const std::vector<QString>& listeCartes() const = 0;
    virtual int carteChoisie() const = 0;
    virtual void choisirCarte(int position) = 0;
    /// Lists the capture devices again (a card plugged in since), keeping the chosen one by its name.
    virtual void actualiserCartes() {}
    /// The measurement settings in `Variables::analyse` changed: they take effect at once.
    virtual void appliquerAnalyse() {}
};

}  // namespace korvalen
