#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "engine/Variables.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace korvalen {

class IMarche;
class IFileDialogs;
class IMessages;
class ListeFichiers;

/// The mode editor: creates, picks and deletes mode files and edits the mode output by output.
/// It keeps no copy of the mode; "Enregistrer" copies its controls into one record and saves the file.
class Config_modes : public QWidget {
    Q_OBJECT
public:
    Config_modes(Variables& v, IMarche& principale, IMessages& messages, IFileDialogs& dialogues,
                 QWidget* parent = nullptr);

    /// The opening, run once after each creation.
    void Form_Load();

    /// Points File1 at `repertoire` and re-reads it; false, with the list unchanged, when the folder is missing.
    bool pointerListe();
    /// Label1 shows `fichierLUM` without ".lum".
    void afficherNomMode();

    /// Shows the record selected in Combo1, or the blank state when none is.
    void affichageconfigsorties();

    // Events, named after their control.
    void Combo1_Click();
    void Combo1_Change();
    void File1_DblClick();
    void Command1_Click();  // "Add"
    void Command2_Click();  // "Suprimer"
    void Command3_Click();  // "Quitter"
    void Command5_Click();  // "Enregistrer"

signals:
    /// The window was closed ("Quitter" or the close box) and is being destroyed.
    void fermee();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void construireControles();
    Sortie* selection();
    void effacerGroupe(int j);

    Variables& v_;
    IMarche& principale_;
    IMessages& messages_;
    IFileDialogs& dialogues_;

    QLabel* Label1_ = nullptr;
    ListeFichiers* File1_ = nullptr;
    QComboBox* Combo1_ = nullptr;
    QCheckBox* Check1_ = nullptr;
    std::array<QCheckBox*, NB_BARRES> Check2_{};
    std::array<QSlider*, NB_BARRES> Slider1_{};
    std::array<QRadioButton*, NB_BARRES> Option1_{};
    std::array<QRadioButton*, NB_BARRES> Option2_{};
};

}  // namespace korvalen
