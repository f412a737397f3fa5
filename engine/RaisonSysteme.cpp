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
// reasons that files, folders, the port and the network actually give, translated where shown.
constexpr Raison RAISONS[] = {
    {ENOENT, TRADUISIBLE("Korvalen", "fichier ou dossier introuvable")},
    {ENOTDIR, TRADUISIBLE("Korvalen", "un élément du chemin n'est pas un dossier")},
    {EISDIR, TRADUISIBLE("Korvalen", "c'est un dossier")},
    {EACCES, TRADUISIBLE("Korvalen", "permission refusée")},
    {EPERM, TRADUISIBLE("Korvalen", "opération non permise")},
    {EBUSY, TRADUISIBLE("Korvalen", "périphérique ou ressource occupé")},
    {ENOSPC, TRADUISIBLE("Korvalen", "plus de place sur le disque")},
    {EROFS, TRADUISIBLE("Korvalen", "système de fichiers en lecture seule")},
    {EDQUOT, TRADUISIBLE("Korvalen", "quota de disque dépassé")},
    {ENAMETOOLONG, TRADUISIBLE("Korvalen", "nom trop long")},
    {EIO, TRADUISIBLE("Korvalen", "erreur d'entrée-sortie")},
    {ENXIO, TRADUISIBLE("Korvalen", "périphérique absent")},
    {ENODEV, TRADUISIBLE("Korvalen", "périphérique absent")},
    {EFBIG, TRADUISIBLE("Korvalen", "fichier trop grand")},
    {EADDRINUSE, TRADUISIBLE("Korvalen", "port déjà utilisé par un autre programme")},
    {EADDRNOTAVAIL, TRADUISIBLE("Korvalen", "adresse absente de cette machine")},
};

}  // namespace

Texte raisonSysteme(int erreur) {
    for (const Raison& r : RAISONS)
        if (r.erreur == erreur) return Texte(r.texte);
    return Texte::tel(std::generic_category().message(erreur));
}

Texte raisonDossier(const std::string& dossier) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d) return raisonSysteme(errno);
    ::closedir(d);
    return {};
}

}  // namespace korvalen
