#pragma once

#include <QListWidget>
#include <QString>

namespace korvalen {

/// A folder list: the open folder and its parents from the drive's root down, then its subfolders.
/// A double click opens a folder; a single click only highlights it.
class ListeDossiers : public QListWidget {
    Q_OBJECT
public:
    explicit ListeDossiers(QWidget* parent);

    /// Opens `dossier` on the drive `racine` (which holds it); false, with the list unchanged,
    /// when that folder cannot be read.
    bool ouvrir(const QString& racine, const QString& dossier);
    /// The folder the list has open.
    QString chemin() const { return chemin_; }
    QString racine() const { return racine_; }

signals:
    /// The list opened another folder.
    void cheminChange(const QString& dossier);
    /// A folder double-clicked could not be read; the list stays where it was.
    void illisible(const QString& dossier);

private:
    void ajouter(const QString& chemin, const QString& nom, int profondeur, bool ouvert);

    QString racine_;
    QString chemin_;
};

/// Whether a folder can be listed and entered.
bool dossierLisible(const QString& dossier);

}  // namespace korvalen
