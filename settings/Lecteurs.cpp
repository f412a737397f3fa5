#include "settings/Lecteurs.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace korvalen {

namespace {

// File systems that hold no user files.
const QSet<QString> PSEUDO = {
    "proc",      "sysfs",      "devtmpfs",    "devpts", "tmpfs",     "ramfs",      "cgroup",    "cgroup2",
    "securityfs", "pstore",    "debugfs",     "tracefs", "configfs", "fusectl",    "mqueue",    "hugetlbfs",
    "bpf",       "autofs",     "binfmt_misc", "efivarfs", "nsfs",    "rpc_pipefs", "selinuxfs", "squashfs",
    "overlay",   "fuse.portal", "fuse.lxcfs", "nfsd",   "devfs",     "none",
};

// Folders of the system itself; a mount inside them is not a user's drive.
const QStringList SYSTEME = {"/proc", "/sys", "/dev", "/run", "/boot", "/efi", "/snap", "/var",
                             "/etc",  "/usr", "/lib", "/lib64", "/opt", "/tmp", "/bin", "/sbin"};

// Removable media are mounted here, even under the system's folders.
const QStringList AMOVIBLES = {"/media", "/run/media", "/mnt"};

// Mount points escape blanks, tabs, line ends and backslashes as three octal digits.
QString decoder(const QByteArray& champ) {
    QByteArray sortie;
    for (qsizetype i = 0; i < champ.size(); ++i) {
        if (champ[i] == '\\' && i + 3 < champ.size()) {
            bool ok = false;
            const int code = champ.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                sortie.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        sortie.append(champ[i]);
    }
    return QString::fromUtf8(sortie);
}

bool sousUnDe(const QString& dossier, const QStringList& parents) {
    for (const QString& p : parents) {
        if (estSous(dossier, p)) return true;
    }
    return false;
}

}  // namespace

bool estSous(const QString& dossier, const QString& parent) {
    if (parent == QLatin1String("/")) return dossier.startsWith(QLatin1Char('/'));
    return dossier == parent || dossier.startsWith(parent + QLatin1Char('/'));
}

QStringList lecteurs(const QByteArray& tableMontages, const QString& dossierPersonnel) {
    QStringList liste = {QStringLiteral("/")};
    const QString personnel = QDir::cleanPath(dossierPersonnel);
    if (!dossierPersonnel.isEmpty() && personnel.startsWith(QLatin1Char('/'))) liste.append(personnel);
    for (const QByteArray& ligne : tableMontages.split('\n')) {
        const QList<QByteArray> champs = ligne.simplified().split(' ');
        if (champs.size() < 3) continue;
        const QString point = QDir::cleanPath(decoder(champs[1]));
        const QString type = QString::fromUtf8(champs[2]);
        if (!point.startsWith(QLatin1Char('/')) || PSEUDO.contains(type)) continue;
        if (sousUnDe(point, SYSTEME) && !sousUnDe(point, AMOVIBLES)) continue;
        liste.append(point);
    }
    liste.removeDuplicates();
    return liste;
}

QStringList lecteursDuSysteme() {
    QFile table(QStringLiteral("/proc/self/mounts"));
    QByteArray contenu;
    // A proc file reports no size: it is read to its end rather than by its length.
    if (table.open(QIODevice::ReadOnly)) contenu = table.readAll();
    return lecteurs(contenu, QDir::homePath());
}

QString lecteurDe(const QStringList& liste, const QString& dossier) {
    QString meilleur;
    for (const QString& l : liste) {
        if (estSous(dossier, l) && l.size() > meilleur.size()) meilleur = l;
    }
    return meilleur;
}

}  // namespace korvalen
