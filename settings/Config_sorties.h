#pragma once

#include <QWidget>
#include <array>

#include "engine/Variables.h"

class QCheckBox;
class QLineEdit;

namespace korvalen {

class IMarche;
class IMessages;

/// The window that names the sixteen outputs, sets their check flags and sends the outputs on demand.
class Config_sorties : public QWidget {
    Q_OBJECT
public:
    /// Builds the window, hidden, from the current records.
    Config_sorties(Variables& v, IMarche& principale, IMessages& messages);

    void Command1_Click();  // "Appliquer"
    void Command2_Click();  // "Annuler"
    void Command3_Click();  // "Ecriture des sorties"

private:
    void Form_Load();
    void prendreCoches();

    Variables& v_;
    IMarche& principale_;
    IMessages& messages_;
    std::array<QLineEdit*, NB_SORTIES_GROUPE> Text1_{}, Text2_{};
    std::array<QCheckBox*, NB_SORTIES_GROUPE> Check1_{}, Check2_{};
};

}  // namespace korvalen
