#pragma once
// The few controls whose behaviour Qt does not give as the windows rely on it.

#include <QHash>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QWidget>

class QCheckBox;

namespace korvalen {

/// A check box drawn as a push button: down while its value is 1; 2 is greyed and counts as up.
class BoutonDirect : public QPushButton {
    Q_OBJECT
public:
    explicit BoutonDirect(QWidget* parent);
    int valeur() const;
    void setValeur(int valeur);

signals:
    /// The value changed, by a click or by setValeur().
    void valeurChangee(int valeur);

private:
    bool grise_ = false;
};

/// A vertical level bar from 0 to 100, drawn in a few rectangles. Setting a value draws nothing at
/// once: showValue() asks for a repaint when the value changed since the last one, so that a refresh
/// tick's ten bars and sixteen indicators are painted together, in one paint event.
class BarreNiveau : public QWidget {
    Q_OBJECT
public:
    explicit BarreNiveau(QWidget* parent);
    int value() const { return valeur_; }
    /// The value the bar shows on screen.
    int niveauAffiche() const { return affichee_; }
    /// Keeps the value, clamped to 0..100, for value() and the next showValue().
    void setValue(int valeur);
    void showValue();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int valeur_ = 0;
    int affichee_ = 0;  // the value the last paint shows
};

/// Lets assistive technology (a screen reader) see each level bar as a progress bar with its name
/// and its value 0 to 100. Installed once by the program's entry point.
void installerAccessibiliteBarres();

/// A caption shown as it stands: a '&' in a name is a character, not a keyboard shortcut.
QString literalCaption(const QString& texte);

/// Value 0 (clear), 1 (ticked) or 2 (greyed) of a check box.
int valeurCase(const QCheckBox& c);
void setValeurCase(QCheckBox& c, int valeur);

/// The list of files of one folder that match a pattern, matched without regard to case.
class ListeFichiers : public QListWidget {
    Q_OBJECT
public:
    ListeFichiers(QString motif, QWidget* parent);
    ~ListeFichiers() override;
    /// Points the list at `dossier` and re-reads it; false, with the list unchanged, when it does not exist.
    bool setDossier(const QString& dossier);
    QString dossier() const { return dossier_; }
    void refresh();
    /// The selected file's name with extension, without folder; empty when none is selected.
    QString fichierSelectionne() const;
    /// The row of the entry named exactly `nom` (with case), or -1; a lookup in an index kept with
    /// the list, not a scan of it.
    int ligne(const QString& nom) const;

signals:
    void doubleClic();

private:
    QString motif_;
    QString dossier_;
    mutable QHash<QString, int> index_;  // name -> row, rebuilt at the first lookup after a change
    mutable bool indexValide_ = false;
};

}  // namespace korvalen
