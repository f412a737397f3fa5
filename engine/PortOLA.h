#pragma once
// The lamps through the OLA daemon (DMX, Art-Net, sACN and the rest). Only the entry point, the
// tests and the benchmarks include this header.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/IPort.h"
#include "engine/Verrous.h"

namespace korvalen {

/// Rebuilds the lamp latches from the port writes and sends each change of their outputs to olad
/// as one DMX frame; a thread of its own does the talking, so a write never waits on olad.
class PortOLA : public IPort {
public:
    /// Receives a French notice for the operator; called on the sender thread, at most once
    /// until a connection succeeds again.
    using Avertir = std::function<void(const std::string&)>;

    /// Sends to `univers` from `premierCanal` (1..CANAL_MAX) through olad at 127.0.0.1:`portOLA`.
    /// Nothing is connected until the first reconnecter().
    PortOLA(std::uint32_t univers, int premierCanal, std::uint16_t portOLA, Avertir avertir);
    ~PortOLA() override;
    PortOLA(const PortOLA&) = delete;
    PortOLA& operator=(const PortOLA&) = delete;

    void write(std::uint32_t address, std::uint8_t value) override;
    /// Connects unless connected; on success sends the latched outputs at once.
    void reconnecter() override;
    /// Waits until the sender thread has handled every write and connection asked so far.
    void synchroniser();

private:
    class Envoi;
    VerrousLampes verrous_;
    std::unique_ptr<Envoi> envoi_;
};

}  // namespace korvalen
