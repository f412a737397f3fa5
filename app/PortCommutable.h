#pragma once
// The lamp output as the main window holds it, swapped for another while the program runs.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "config/Configuration.h"
#include "engine/IPort.h"

namespace korvalen {

/// The port the main window writes to: it hands every call to the output now open, and reopens
/// one from new settings on request. All its calls come from the window's thread, so a swap never
/// falls inside a sequence; each output keeps its own thread and its rules.
class PortCommutable : public IPort {
public:
    /// Opens the output that settings describe and starts reaching it (without waiting).
    using Ouvrir = std::function<std::unique_ptr<IPort>(const ReglagesPort&)>;

    explicit PortCommutable(Ouvrir ouvrir) : ouvrir_(std::move(ouvrir)) {}

    /// Closes the output open so far, then opens the one `reglages` describe and hands it the last
    /// whole sequence at once: the new lamps show the current state even if nothing changes after.
    void ouvrir(const ReglagesPort& reglages);
    /// The output now open; null before the first ouvrir().
    IPort* actuel() const { return actuel_.get(); }
    const ReglagesPort& reglages() const { return reglages_; }

    void write(std::uint32_t address, std::uint8_t value) override;
    void niveaux(const ValeursLampes& valeurs) override;
    bool veutNiveaux() const override { return actuel_ && actuel_->veutNiveaux(); }
    void finSequence() override;
    void reconnecter() override;

private:
    /// One register write, kept to be played again to the next output.
    struct Ecriture {
        std::uint32_t adresse;
        std::uint8_t valeur;
    };
    /// A sequence is a few writes; past this, writes that never end in finSequence() are not kept.
    static constexpr std::size_t ECRITURES_MAX = 64;

    Ouvrir ouvrir_;
    std::unique_ptr<IPort> actuel_;
    ReglagesPort reglages_;
    std::vector<Ecriture> enCours_;   // the sequence being written
    std::vector<Ecriture> derniere_;  // the last whole sequence
    std::optional<ValeursLampes> niveauxEnCours_, derniersNiveaux_;
};

}  // namespace korvalen
