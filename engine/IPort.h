#pragma once

#include <cstdint>

namespace korvalen {

inline constexpr std::uint32_t PORT_DONNEES = 0x378;   // data register
inline constexpr std::uint32_t PORT_CONTROLE = 0x37A;  // control register

/// The parallel port as the port writer sees it: one byte to one register, at once, in call order.
class IPort {
public:
    virtual ~IPort() = default;
    virtual void write(std::uint32_t address, std::uint8_t value) = 0;
    /// The writes since the last call make one whole sequence (one refresh tick's, say): a port
    /// that sends them later sends each sequence whole and in order.
    virtual void finSequence() {}
    /// At each start of a run: tries again to reach lamps that were out of reach, silently.
    virtual void reconnecter() {}
};

}  // namespace korvalen
