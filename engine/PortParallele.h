#pragma once
// The Linux parallel-port driver (ppdev). Only the entry point includes this header.

#include <optional>
#include <string>

#include "engine/IPort.h"

namespace korvalen {

inline constexpr const char* PERIPHERIQUE_PAR_DEFAUT = "/dev/parport0";

/// Writes the lamp bytes to a parallel port through ppdev; writes nothing while the port is unavailable.
class PortParallele : public IPort {
public:
    explicit PortParallele(std::string peripherique = PERIPHERIQUE_PAR_DEFAUT);
    ~PortParallele() override;
    PortParallele(const PortParallele&) = delete;
    PortParallele& operator=(const PortParallele&) = delete;

    /// Opens and claims the device; on failure a French message naming the device and the system's reason.
    std::optional<std::string> ouvrir();
    bool ouvert() const { return fd_ >= 0; }
    void write(std::uint32_t address, std::uint8_t value) override;

private:
    std::string peripherique_;
    int fd_ = -1;
};

}  // namespace korvalen
