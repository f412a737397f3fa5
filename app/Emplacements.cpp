#include "app/Emplacements.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvalen {

Emplacements choisirEmplacements(const QString& dossierProgramme, const QString& entreeMenu) {
    // Even where it could write there (root in /usr/bin), an installed copy leaves its folder alone.
    const bool installe = QFileInfo::exists(QDir(dossierProgramme).filePath(entreeMenu));
    if (QFileInfo(dossierProgramme).isWritable() && !installe) {
        return Emplacements::ensemble(dossierProgramme.toStdString());
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/korvalen";
    const QString modes = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/korvalen/modes";
    QDir().mkpath(config);
    QDir().mkpath(modes);
    return {config.toStdString(), modes.toStdString()};
}

}  // namespace korvalen
