#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "doubles/TemporaryFolder.h"
#include "engine/RaisonSysteme.h"

namespace korvalen {
namespace {

TEST(RaisonSysteme, CommonReasonsAreFrenchOthersKeepTheSystemText) {
    struct Cas {
        int erreur;
        const char* attendu;
    };
    const Cas cas[] = {
        {ENOENT, "fichier ou dossier introuvable"},
        {EACCES, "permission refusée"},
        {EPERM, "opération non permise"},
        {EBUSY, "périphérique ou ressource occupé"},
        {ENOSPC, "plus de place sur le disque"},
        {EROFS, "système de fichiers en lecture seule"},
        {EDQUOT, "quota de disque dépassé"},
        {ENAMETOOLONG, "nom trop long"},
        {EIO, "erreur d'entrée-sortie"},
        {ENOTDIR, "un élément du chemin n'est pas un dossier"},
        // A reason nobody meets here stays the system's own.
        {EPIPE, std::strerror(EPIPE)},
    };
    for (const Cas& c : cas) EXPECT_EQ(raisonSysteme(c.erreur).francais(), c.attendu) << "errno " << c.erreur;
}

TEST(RaisonSysteme, AFolderThatCannotBeListedSaysWhy) {
    test::TemporaryFolder dossier;
    EXPECT_TRUE(raisonDossier(dossier.path()).vide());
    EXPECT_EQ(raisonDossier(dossier.path() + "/absent").francais(), "fichier ou dossier introuvable");
    const std::string fichier = dossier.file("f.lum");
    test::TemporaryFolder::write(fichier, "x");
    EXPECT_EQ(raisonDossier(fichier).francais(), "un élément du chemin n'est pas un dossier");
}

}  // namespace
}  // namespace korvalen
