#include "settings/ListeDossiers.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "settings/Lecteurs.h"

namespace korvalen {

namespace {

QString enfant(const QString& parent, const QString& nom) {
    return parent.endsWith(QLatin1Char('/')) ? parent + nom : parent + QLatin1Char('/') + nom;
}

}  // namespace

bool dossierLisible(const QString& dossier) {
    const QFileInfo info(dossier);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

ListeDossiers::ListeDossiers(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const QString dossier = item->data(Qt::UserRole).toString();
        if (dossier == chemin_) return;
        if (!ouvrir(racine_, dossier)) emit illisible(dossier);
    });
}

bool ListeDossiers::ouvrir(const QString& racine, const QString& dossier) {
    const QString r = QDir::cleanPath(racine);
    const QString d = QDir::cleanPath(dossier);
    if (!estSous(d, r) || !dossierLisible(d)) return false;
    racine_ = r;
    chemin_ = d;

    clear();
    int profondeur = 0;
    ajouter(r, r, profondeur++, true);
    QString parent = r;
    const QString reste = d.mid(r.size());
    for (const QString& nom : reste.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        parent = enfant(parent, nom);
        ajouter(parent, nom, profondeur++, true);
    }
    setCurrentRow(count() - 1);
    const QStringList sousDossiers =
        QDir(d).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& nom : sousDossiers) ajouter(enfant(d, nom), nom, profondeur, false);
    scrollToItem(currentItem());
    emit cheminChange(chemin_);
    return true;
}

void ListeDossiers::ajouter(const QString& chemin, const QString& nom, int profondeur, bool ouvert) {
    auto* item = new QListWidgetItem(QString(profondeur * 2, QLatin1Char(' ')) + nom, this);
    item->setIcon(style()->standardIcon(ouvert ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    item->setData(Qt::UserRole, chemin);
}

}  // namespace korvalen
