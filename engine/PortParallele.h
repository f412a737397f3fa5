#pragma once
// The Linux parallel-port driver (ppdev). Only the entry point and its tests include this header.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "engine/IPort.h"

namespace korvalen {

inline constexpr const char* PERIPHERIQUE_PAR_DEFAUT = "/dev/parport0";

/// Writes the lamp bytes to a parallel port through ppdev; writes nothing while the port is unavailable.
class PortParallele : public IPort {
public:
    /// How long the kernel's claim may wait for a port that another program holds.
    static constexpr std::chrono::milliseconds DELAI_RESERVATION{500};

    explicit PortParallele(std::string peripherique = PERIPHERIQUE_PAR_DEFAUT);
    ~PortParallele() override;
    PortParallele(const PortParallele&) = delete;
    PortParallele& operator=(const PortParallele&) = delete;

    /// Opens, locks and claims the device, returning within about `delai`; on failure a French
    /// message naming the device and the reason. Another Korvalen on the same device is refused
    /// before any claim. May run on any thread; write() ignores the port until this succeeded.
    std::optional<std::string> ouvrir(std::chrono::milliseconds delai = DELAI_RESERVATION);
    bool ouvert() const { return fd_.load(std::memory_order_acquire) >= 0; }
    void write(std::uint32_t address, std::uint8_t value) override;

private:
    std::string peripherique_;
    std::atomic<int> fd_{-1};
};

}  // namespace korvalen
