#pragma once

#include <string>

namespace korvalen {

inline constexpr int NB_INDICATEURS = 16;

/// The sixteen output indicators Check1(0..15) of the main window, as the display code drives them.
class IIndicateurs {
public:
    virtual ~IIndicateurs() = default;
    virtual void setCaption(int indicateur, const std::string& texte) = 0;
    virtual void setValue(int indicateur, int valeur) = 0;  // 0 off, 1 on
};

}  // namespace korvalen
