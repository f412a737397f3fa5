#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/IPort.h"

namespace korvalen::test {

/// Port double that keeps every (address, value) written, in order, each sequence's lamp values,
/// and counts the reconnections asked.
class RecordingPort : public IPort {
public:
    void write(std::uint32_t address, std::uint8_t value) override { writes.emplace_back(address, value); }
    void reconnecter() override { ++reconnexions; }
    void niveaux(const ValeursLampes& valeurs) override { niveauxRecus.push_back(valeurs); }
    std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
    std::vector<ValeursLampes> niveauxRecus;
    int reconnexions = 0;
};

}  // namespace korvalen::test
