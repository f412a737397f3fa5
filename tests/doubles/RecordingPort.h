#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/IPort.h"

namespace korvalen::test {

/// Port double that keeps every (address, value) written, in order.
class RecordingPort : public IPort {
public:
    void write(std::uint32_t address, std::uint8_t value) override { writes.emplace_back(address, value); }
    std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
};

}  // namespace korvalen::test
