#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/IPort.h"

namespace korvalen::test {

/// Port double that keeps every (address, value) written, in order, and counts the reconnections asked.
class RecordingPort : public IPort {
public:
    void write(std::uint32_t address, std::uint8_t value) override { writes.emplace_back(address, value); }
    void reconnecter() override { ++reconnexions; }
    std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
    int reconnexions = 0;
};

}  // namespace korvalen::test
