#pragma once

#include <QDialog>
#include <QHash>
#include <QStringList>

class QComboBox;

namespace korvalen {

class IMessages;
class ListeDossiers;

/// The folder picker: a drive list and a folder list; hands the folder it has open to whoever asked.
/// Its buttons hide it, so that the next showing finds it where the operator left it.
class frmFolder : public QDialog {
    Q_OBJECT
public:
    /// Opens on the drive that holds `dossierDepart`, at that folder.
    frmFolder(IMessages& messages, QStringList lecteurs, const QString& dossierDepart);

    /// The folder the folder list has open.
    QString dossier() const;

    void cmdOK_Click();      // "Appliquer"
    void cmdCancel_Click();  // "Annuler"
    void reject() override;  // Escape: as "Annuler"

signals:
    /// "Appliquer": the folder the list has open.
    void dossierChoisi(const QString& dossier);

private:
    void drv_Change(int position);

    IMessages& messages_;
    QStringList lecteurs_;
    QComboBox* drv_ = nullptr;
    ListeDossiers* fld_ = nullptr;
    int lecteurActuel_ = 0;
    QHash<QString, QString> dossierParLecteur_;  // the folder last open on each drive
};

}  // namespace korvalen
