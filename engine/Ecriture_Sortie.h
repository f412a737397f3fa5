#pragma once

#include "engine/IPort.h"
#include "engine/Variables.h"

namespace korvalen {

/// Sends group A's byte, then group B's, to the lamp latches; clears both while stopped.
void EcrireSorties(Variables& v, IPort& port);

/// The byte of group A (A0 weight 1, A1 weight 2, A3 weight 8).
std::uint8_t octetGroupeA(const Variables& v);
/// The byte of group B (B0..B7, weights 1..128).
std::uint8_t octetGroupeB(const Variables& v);

}  // namespace korvalen
