#pragma once
// What the run has shown: the main window, or a test's recording double.

#include <QString>
#include <array>
#include <optional>

#include "engine/IIndicateurs.h"
#include "engine/Variables.h"

namespace korvalen {

/// The main window as the run drives it: it shows what it is told and answers a few questions
/// about its controls. The indicators Check1(0..15) are the IIndicateurs part.
class IVueMarche : public IIndicateurs {
public:
    /// The controls a remote press may find refused.
    enum class Controle { BoutonDirect, ListeModes, Marche, Initialisation };

    /// The ten bars hold these levels; they are painted at the next peindreNiveaux().
    virtual void poserNiveaux(const std::array<float, NB_BARRES>& niveaux) = 0;
    virtual void peindreNiveaux() = 0;
    /// The run button's caption ("Lancement" / "Arret").
    virtual void montrerMarche(bool enMarche) = 0;
    /// The six buttons that only work while stopped.
    virtual void montrerBoutonsConfigActifs(bool actifs) = 0;
    /// Live button `k` shows `valeur` (0 up, 1 down, 2 greyed).
    virtual void montrerBoutonDirect(int k, Entier valeur) = 0;
    virtual void montrerLegendeBoutonDirect(int k, const QString& legende) = 0;
    /// The mode label.
    virtual void montrerNomMode(const QString& nom) = 0;
    /// The mode list shows `dossier`; false when that folder does not exist.
    virtual bool montrerDossier(const QString& dossier) = 0;
    /// The mode list as it stands: the entry at `position`, or where `nom` stands (-1 when absent).
    virtual std::optional<QString> modeListe(int position) const = 0;
    virtual int positionMode(const QString& nom) const = 0;
    /// Whether a press would reach the control as the mouse would: it is enabled and no question
    /// holds the window.
    virtual bool utilisable(Controle controle, int k = 0) const = 0;
};

/// Shows nothing: the run before its window exists, or without one.
class VueMuette : public IVueMarche {
public:
    void setCaption(int, const std::string&) override {}
    void setValue(int, int) override {}
    void poserNiveaux(const std::array<float, NB_BARRES>&) override {}
    void peindreNiveaux() override {}
    void montrerMarche(bool) override {}
    void montrerBoutonsConfigActifs(bool) override {}
    void montrerBoutonDirect(int, Entier) override {}
    void montrerLegendeBoutonDirect(int, const QString&) override {}
    void montrerNomMode(const QString&) override {}
    bool montrerDossier(const QString&) override { return true; }
    std::optional<QString> modeListe(int) const override { return std::nullopt; }
    int positionMode(const QString&) const override { return -1; }
    bool utilisable(Controle, int) const override { return true; }
};

}  // namespace korvalen
