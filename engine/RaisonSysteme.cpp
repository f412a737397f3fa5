#include "engine/RaisonSysteme.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace korvalen {

namespace {

struct Raison {
    int erreur;
    const char* texte;
};

// The C library speaks the C locale's English whatever the desktop's language; these are the
// reasons that files, folders and the port actually give.
constexpr Raison RAISONS[] = {
    {ENOENT, "fichier ou dossier introuvable"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {EISDIR, "c'est un dossier"},
    {EACCES, "permission refusée"},
    {EPERM, "opération non permise"},
    {EBUSY, "périphérique ou ressource occupé"},
    {ENOSPC, "plus de place sur le disque"},
    {EROFS, "système de fichiers en lecture seule"},
    {EDQUOT, "quota de disque dépassé"},
    {ENAMETOOLONG, "nom trop long"},
    {EIO, "erreur d'entrée-sortie"},
    {ENXIO, "périphérique absent"},
    {ENODEV, "périphérique absent"},
    {EFBIG, "fichier trop grand"},
    {EADDRINUSE, "port déjà utilisé par un autre programme"},
    {EADDRNOTAVAIL, "adresse absente de cette machine"},
};

}  // namespace

std::string raisonSysteme(int erreur) {
    for (const Raison& r : RAISONS)
        if (r.erreur == erreur) return r.texte;
    return std::generic_category().message(erreur);
}

std::string raisonDossier(const std::string& dossier) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d) return raisonSysteme(errno);
    ::closedir(d);
    return {};
}

}  // namespace korvalen
