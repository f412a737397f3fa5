#pragma once
// The Linux parallel-port driver (ppdev). Only the entry point and its tests include this header.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/IPort.h"
#include "engine/Texte.h"

namespace korvalen {

inline constexpr const char* PERIPHERIQUE_PAR_DEFAUT = "/dev/parport0";

/// Writes the lamp bytes to a parallel port through ppdev, on a thread of the port's own: every
/// ppdev call may sleep in the kernel while another program claims a port, and the window must
/// never wait for that. Writes nothing while the port is unavailable.
class PortParallele : public IPort {
public:
    /// How long the kernel's claim may wait for a port that another program holds.
    static constexpr std::chrono::milliseconds DELAI_RESERVATION{500};
    /// How long the destruction waits for a port thread stuck in the kernel before leaving it.
    static constexpr std::chrono::milliseconds DELAI_FERMETURE{300};
    /// Receives, on the port's thread, the French message of a failed first opening.
    using Avertir = std::function<void(const Texte&)>;

    explicit PortParallele(std::string peripherique = PERIPHERIQUE_PAR_DEFAUT);
    ~PortParallele() override;
    PortParallele(const PortParallele&) = delete;
    PortParallele& operator=(const PortParallele&) = delete;

    /// Opens, locks and claims the device on the port's thread, returning within about `delai`;
    /// on failure a French message naming the device and the reason. Another Korvalen on the same
    /// device is refused before any claim.
    std::optional<Texte> ouvrir(std::chrono::milliseconds delai = DELAI_RESERVATION);
    /// Asks the port's thread to open the device without waiting; a failure goes to `avertir`.
    void ouvrirEnFond(Avertir avertir);
    bool ouvert() const;

    /// Adds a byte to the sequence being built; nothing leaves before finSequence().
    void write(std::uint32_t address, std::uint8_t value) override;
    /// Hands the sequence to the port's thread. One not yet started is replaced by the newer one:
    /// the latches end on the newest state, never on an older one.
    void finSequence() override;
    /// A port that was busy or refused is claimed again, silently, on the port's thread.
    void reconnecter() override;
    /// Waits (at most a few seconds) until every sequence handed over has been sent or dropped.
    void synchroniser();

    /// One register write of a sequence.
    struct Ecriture {
        std::uint32_t adresse;
        std::uint8_t octet;
    };

private:
    struct Fil;
    std::vector<Ecriture> sequence_;  // built on the window's thread
    std::shared_ptr<Fil> fil_;        // shared with the thread, which may outlive this object
};

}  // namespace korvalen
