#pragma once
// The latch hardware behind the lamp port, rebuilt from the register writes, and the DMX frame
// that carries its sixteen outputs.

#include <array>
#include <cstdint>

#include "engine/IPort.h"

namespace korvalen {

inline constexpr int CANAUX_DMX = 512;
inline constexpr int CANAL_MAX = CANAUX_DMX - 15;  // the last first channel that still fits sixteen outputs

using TrameDmx = std::array<std::uint8_t, CANAUX_DMX>;

/// The two latches behind the port: the data register's last byte goes to group A when control
/// bit 1 rises, to group B when control bit 0 rises.
class VerrousLampes {
public:
    /// One register write; true when a latch took a byte that changes its group's outputs.
    bool ecrire(std::uint32_t adresse, std::uint8_t valeur);
    std::uint8_t groupeA() const { return a_; }
    std::uint8_t groupeB() const { return b_; }

private:
    std::uint8_t donnees_ = 0;
    std::uint8_t controle_ = 0;
    std::uint8_t a_ = 0;
    std::uint8_t b_ = 0;
};

/// A0..A7 then B0..B7 on sixteen channels from `premierCanal` (1 to CANAL_MAX), 255 for on and
/// 0 for off; every other channel 0.
TrameDmx trameDmx(std::uint8_t groupeA, std::uint8_t groupeB, int premierCanal);

/// The sixteen values, A0..A7 then B0..B7, on sixteen channels from `premierCanal`; every other channel 0.
TrameDmx trameDmx(const ValeursLampes& valeurs, int premierCanal);

/// Each output lit in the latches with its value from `valeurs`, each dark one at 0.
ValeursLampes valeursAllumees(std::uint8_t groupeA, std::uint8_t groupeB, const ValeursLampes& valeurs);

}  // namespace korvalen
