#pragma once
// What a remote controller (MIDI pad, OSC surface) does to the run: the presses a person makes.

#include <QString>
#include <array>

namespace korvalen {

/// The run as a remote controller reaches it, on the run's thread only.
/// Each click returns false when the control refuses it (disabled, or no such entry).
class ICommandesDistantes {
public:
    virtual ~ICommandesDistantes() = default;
    /// True while live button `k` (0 to 4) is down.
    virtual bool boutonDirectBas(int k) const = 0;
    virtual bool cliquerBoutonDirect(int k) = 0;
    /// A double click on entry `position` (from 0) of the mode list.
    virtual bool choisirModeParPosition(int position) = 0;
    /// A double click on the mode list's entry named `nom` (with or without ".lum").
    virtual bool choisirModeParNom(const QString& nom) = 0;
    virtual bool enMarche() const = 0;
    /// A click on the run button ("Lancement" / "Arret").
    virtual bool cliquerMarche() = 0;
    /// Running when `actif`, stopped otherwise: the run button clicked only when that changes
    /// something, and a stop asked while the card still opens kept for when it has opened.
    virtual bool commanderMarche(bool actif) = 0;
    /// A click on "Initialisation".
    virtual bool cliquerInitialisation() = 0;
    /// The sixteen output indicators, by output number: true where lit.
    virtual std::array<bool, 16> sortiesAllumees() const = 0;
};

}  // namespace korvalen
