#include "config/fileINI.h"

#include <cerrno>
#include <fstream>

#include "config/SafeFile.h"

namespace korvalen {

std::vector<std::string> LireINI(const std::string& section, const std::vector<ProfileEntry>& clesEtDefauts,
                                 const std::string& fichier, std::size_t longueurMax) {
    std::vector<std::string> keys;
    for (const auto& entry : clesEtDefauts) keys.push_back(entry.first);

    std::vector<std::optional<std::string>> found(keys.size());
    if (isRegularFile(fichier)) {
        std::ifstream in(fichier, std::ios::binary);
        found = readProfileValues(in, section, keys, longueurMax);
    }
    std::vector<std::string> values;
    for (std::size_t i = 0; i < keys.size(); ++i) values.push_back(found[i].value_or(clesEtDefauts[i].second));
    return values;
}

std::string LireINI(const std::string& section, const std::string& cle, const std::string& defaut,
                    const std::string& fichier) {
    return LireINI(section, std::vector<ProfileEntry>{{cle, defaut}}, fichier).front();
}

std::optional<Texte> EcrireINI(const std::string& section, const std::vector<ProfileEntry>& valeurs,
                                     const std::string& fichier) {
    // The old content is opened before anything is written: a file that exists but cannot be
    // read must not be replaced by one that holds only this section.
    std::ifstream old;
    if (isRegularFile(fichier)) {
        errno = 0;
        old.open(fichier, std::ios::binary);
        if (!old.is_open()) return saveFailureMessage(fichier, errno != 0 ? errno : EIO);
    }
    return replaceFile(fichier, [&](std::ostream& out) {
        if (!old.is_open()) {
            writeProfileValues(old, out, section, valeurs);
            return 0;
        }
        std::streambuf& content = *old.rdbuf();
        const auto size = content.pubseekoff(0, std::ios::end, std::ios::in);
        content.pubseekpos(0, std::ios::in);
        writeProfileValues(old, out, section, valeurs);
        // A read error looks like an early end of file: the whole old file must have been copied.
        return content.pubseekoff(0, std::ios::cur, std::ios::in) == size ? 0 : EIO;
    });
}

std::optional<Texte> EcrireINI(const std::string& section, const std::string& cle, const std::string& valeur,
                                     const std::string& fichier) {
    return EcrireINI(section, std::vector<ProfileEntry>{{cle, valeur}}, fichier);
}

}  // namespace korvalen
