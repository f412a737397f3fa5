#pragma once

#include <QWidget>
#include <string>

#include "config/Configuration.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace korvalen {

class IMessages;

/// The window "Sortie des lampes": where the lamps hang (parallel port or OLA) and, on OLA, their
/// levels and fades; "Appliquer" stores them in [Port] and hands them over to be used at once.
class SortieDesLampes : public QWidget {
    Q_OBJECT
public:
    /// Builds the window, hidden, from the [Port] section of `fichierINI`.
    SortieDesLampes(std::string fichierINI, IMessages& messages);

    void Command1_Click();  // "Appliquer"
    void Command2_Click();  // "Annuler"

signals:
    /// "Appliquer" took these settings: the lamps should go there now, running or not.
    void sortieAppliquee(const korvalen::ReglagesPort& reglages);

private:
    void Form_Load();
    void griser();
    bool refuser(QLineEdit& champ, const QString& texte);

    std::string fichierINI_;
    IMessages& messages_;
    QRadioButton* Parallele_ = nullptr;
    QRadioButton* Ola_ = nullptr;
    QLineEdit* Peripherique_ = nullptr;
    QLineEdit* Univers_ = nullptr;
    QLineEdit* Canal_ = nullptr;
    QLineEdit* PortOLA_ = nullptr;
    QCheckBox* Niveaux_ = nullptr;
    QLineEdit* Descente_ = nullptr;
};

}  // namespace korvalen
