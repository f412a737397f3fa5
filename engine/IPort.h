#pragma once

#include <array>
#include <cstdint>

namespace korvalen {

inline constexpr std::uint32_t PORT_DONNEES = 0x378;   // data register
inline constexpr std::uint32_t PORT_CONTROLE = 0x37A;  // control register

/// One value 0..255 per output, A0..A7 then B0..B7: how bright each would show on a lamp that can dim.
using ValeursLampes = std::array<std::uint8_t, 16>;

/// The parallel port as the port writer sees it: one byte to one register, at once, in call order.
class IPort {
public:
    virtual ~IPort() = default;
    virtual void write(std::uint32_t address, std::uint8_t value) = 0;
    /// The writes since the last call make one whole sequence (one refresh tick's, say): a port
    /// that sends them later sends each sequence whole and in order.
    virtual void finSequence() {}
    /// Just before finSequence(): the brightness of each output that the sequence lights. A port
    /// whose lamps can dim may show it; the latches still say which outputs are lit.
    virtual void niveaux(const ValeursLampes& /*valeurs*/) {}
    /// True when niveaux() shows on the lamps, so that a new level is worth a write of its own.
    virtual bool veutNiveaux() const { return false; }
    /// At each start of a run: tries again to reach lamps that were out of reach, silently.
    virtual void reconnecter() {}
};

}  // namespace korvalen
