#pragma once
// The lamps through the OLA daemon (DMX, Art-Net, sACN and the rest). Only the entry point, the
// tests and the benchmarks include this header.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/IPort.h"
#include "engine/Texte.h"
#include "engine/NiveauxLampes.h"
#include "engine/Verrous.h"

namespace korvalen {

/// How the lamps on DMX show the outputs beyond lit and dark.
struct IntensitesOLA {
    bool niveaux = false;               // a lit output shows its bar's level, not always 255
    std::chrono::milliseconds descente{0};  // a lamp going dark fades out over this time; 0 snaps
    bool operator==(const IntensitesOLA&) const = default;
};

/// Rebuilds the lamp latches from the port writes and sends each change of their outputs to olad
/// as one DMX frame; a thread of its own does the talking, so a write never waits on olad.
class PortOLA : public IPort {
public:
    /// Receives a French notice for the operator; called on the sender thread, at most once
    /// until a connection succeeds again.
    using Avertir = std::function<void(const Texte&)>;

    /// The clock the fades follow, read on the sender thread (tests give one of their own).
    using Horloge = std::function<DescenteLampes::Horloge::time_point()>;

    /// Sends to `univers` from `premierCanal` (1..CANAL_MAX) through olad at 127.0.0.1:`portOLA`.
    /// Nothing is connected until the first reconnecter().
    /// With `intensites` other than the default, a sequence's frame is sent once it is whole, and
    /// while a lamp fades the sender thread sends a frame every 20 ms.
    PortOLA(std::uint32_t univers, int premierCanal, std::uint16_t portOLA, Avertir avertir,
            IntensitesOLA intensites = {}, Horloge horloge = {});
    /// Returns at once: a connection under way is given up and those asked after it are dropped.
    ~PortOLA() override;
    PortOLA(const PortOLA&) = delete;
    PortOLA& operator=(const PortOLA&) = delete;

    void write(std::uint32_t address, std::uint8_t value) override;
    void niveaux(const ValeursLampes& valeurs) override;
    bool veutNiveaux() const override { return intensites_.niveaux; }
    void finSequence() override;
    /// Connects unless connected; on success sends the latched outputs at once.
    void reconnecter() override;
    /// Waits until the sender thread has handled every write and connection asked so far.
    void synchroniser();

private:
    class Envoi;
    VerrousLampes verrous_;
    const IntensitesOLA intensites_;
    ValeursLampes valeurs_;         // the last sequence's brightness of each output
    ValeursLampes postees_{};       // the last values handed to the sender thread
    std::unique_ptr<Envoi> envoi_;
};

}  // namespace korvalen
