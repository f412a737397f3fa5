#pragma once

#include <QWidget>

#include "engine/Variables.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QLineEdit;

namespace korvalen {

class IMarche;
class IMessages;

/// The window of the refresh period, the save folder, the capture device, the chaser period and,
/// in a column of its own, how the sound is measured.
class Options : public QWidget {
    Q_OBJECT
public:
    /// Builds the window, hidden, from the current settings.
    Options(Variables& v, IMarche& principale, IMessages& messages);

    /// Puts a folder chosen elsewhere into the save-folder box; nothing is applied yet.
    void recevoirDossier(const QString& dossier);
    /// `repertoire` changed elsewhere: the folder box shows it, unless the operator has typed or
    /// chosen another one there.
    void repertoireChange();

    void Command1_Click();  // "Appliquer"
    void Command2_Click();  // "Annuler"
    void Command3_Click();  // "..."

signals:
    /// "..." asks for the folder picker.
    void dossierDemande();
    /// "Sortie des lampes…" asks for the lamp output's window.
    void sortieDemandee();
    /// "Télécommande…" asks for the remote control's window.
    void telecommandeDemandee();

private:
    void Form_Load();
    void refuser(QLineEdit& champ, const QString& texte);

    Variables& v_;
    IMarche& principale_;
    IMessages& messages_;
    QLineEdit* Text1_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QString repertoireAffiche_;  // the value of `repertoire` the folder box was last given
    QLineEdit* Text3_ = nullptr;
    QComboBox* DevicesBox_ = nullptr;
    QRadioButton* Echantillons_ = nullptr;
    QRadioButton* Bandes_ = nullptr;
    QCheckBox* GainAuto_ = nullptr;
    QCheckBox* Rythme_ = nullptr;
};

}  // namespace korvalen
