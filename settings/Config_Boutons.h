#pragma once

#include <QWidget>
#include <array>

#include "engine/Variables.h"

class QComboBox;

namespace korvalen {

class IMarche;
class IMessages;

/// The window that assigns an output, or none, to each of the five live buttons.
class Config_Boutons : public QWidget {
    Q_OBJECT
public:
    /// Builds the window, hidden, with the current output names and no entry chosen.
    Config_Boutons(Variables& v, IMarche& principale, IMessages& messages);

    void Command1_Click();  // "Annuler"
    void Command2_Click();  // "Appliquer"

private:
    void Form_Load();

    Variables& v_;
    IMarche& principale_;
    IMessages& messages_;
    std::array<QComboBox*, 5> Combo1_{};
};

}  // namespace korvalen
