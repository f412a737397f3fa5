#pragma once
// Profile-file access: one value read with a default, one value written.

#include <optional>
#include <string>

namespace korvalen {

/// The value of `cle` in `section` of `fichier` (at most 255 characters), or `defaut` when absent.
std::string LireINI(const std::string& section, const std::string& cle, const std::string& defaut,
                    const std::string& fichier);

/// Sets `cle` of `section` to `valeur`; on failure a French message naming the file and the reason.
std::optional<std::string> EcrireINI(const std::string& section, const std::string& cle, const std::string& valeur,
                                     const std::string& fichier);

}  // namespace korvalen
