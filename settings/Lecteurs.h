#pragma once
// The "drives" of the folder picker on Linux: the root, the home folder and the mounted file
// systems a user browses (removable media, network shares, data disks).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvalen {

/// The drives offered for a mount table in the layout of /proc/self/mounts: "/", `dossierPersonnel`,
/// then each mount point a user browses, in table order, without repeats. Pseudo file systems
/// (proc, sysfs, cgroup, tmpfs, ...) and the system's own folders (/proc, /sys, /dev, /run, /boot, ...)
/// are left out; removable media under /media, /run/media and /mnt are kept.
QStringList lecteurs(const QByteArray& tableMontages, const QString& dossierPersonnel);

/// The drives of this machine, from /proc/self/mounts and the user's home folder.
QStringList lecteursDuSysteme();

/// Whether `dossier` is `parent` or lies below it.
bool estSous(const QString& dossier, const QString& parent);

/// The drive that holds `dossier`: the longest of `liste` that is `dossier` or one of its parents;
/// empty when none is.
QString lecteurDe(const QStringList& liste, const QString& dossier);

}  // namespace korvalen
