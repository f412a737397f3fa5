#pragma once
// The window "Télécommande": the [MIDI] and [OSC] settings set up by hand, a pad's notes learnt by
// pressing them, applied at once without a restart.

#include <QWidget>
#include <array>
#include <string>

#include "config/Configuration.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvalen {

class IMessages;
class Telecommande;

/// The remote control's settings window; "Appliquer" stores them in Config.ini and reopens the ports.
class FenetreTelecommande : public QWidget {
    Q_OBJECT
public:
    /// The seven notes: the five live buttons, "Lancement" and "Initialisation".
    static constexpr int NOTES = 7;

    /// Builds the window, hidden, from [MIDI] and [OSC] of `fichierINI`.
    FenetreTelecommande(Telecommande& telecommande, IMessages& messages, std::string fichierINI);
    ~FenetreTelecommande() override;

    void CommandAppliquer_Click();
    void CommandAnnuler_Click();
    /// "Apprendre" of note `i`: the next note-on received fills it.
    void CommandApprendre_Click(int i);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void noteApprise(int note);
    void arreterApprentissage();
    void refuser(QWidget& champ, const QString& texte);

    Telecommande& telecommande_;
    IMessages& messages_;
    std::string fichierINI_;
    int apprentissage_ = -1;  // the note being learnt, or -1
    QCheckBox* Actif_ = nullptr;
    QComboBox* Canal_ = nullptr;
    QComboBox* Pilote_ = nullptr;
    std::array<QLineEdit*, NOTES> Notes_{};
    std::array<QPushButton*, NOTES> Apprendre_{};
    QLineEdit* Port_ = nullptr;
    QComboBox* Ecoute_ = nullptr;
    QLineEdit* Retour_ = nullptr;
    QLineEdit* Clients_ = nullptr;
};

}  // namespace korvalen
