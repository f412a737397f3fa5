#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/IIndicateurs.h"

namespace korvalen::test {

/// Indicator double: the last caption and value of each indicator, and the order of value writes.
class RecordingIndicateurs : public IIndicateurs {
public:
    RecordingIndicateurs() { values.fill(-1); }
    void setCaption(int n, const std::string& texte) override { captions.at(n) = texte; }
    void setValue(int n, int valeur) override {
        values.at(n) = valeur;
        valueOrder.push_back(n);
    }
    std::array<std::string, NB_INDICATEURS> captions{};
    std::array<int, NB_INDICATEURS> values{};  // -1 = never written
    std::vector<int> valueOrder;
};

}  // namespace korvalen::test
