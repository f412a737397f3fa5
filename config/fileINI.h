#pragma once
// Profile-file access: one value read with a default, one value written.

#include <optional>
#include <string>
#include <vector>

#include "config/ProfileStream.h"
#include "engine/Texte.h"

namespace korvalen {

/// The value of `cle` in `section` of `fichier` (at most 255 characters), or `defaut` when absent.
std::string LireINI(const std::string& section, const std::string& cle, const std::string& defaut,
                    const std::string& fichier);

/// Sets `cle` of `section` to `valeur`; on failure a French message naming the file and the reason.
std::optional<Texte> EcrireINI(const std::string& section, const std::string& cle, const std::string& valeur,
                                     const std::string& fichier);

/// Several keys of one section read in one pass: each entry is a key and its default. Each value
/// found is cut to its first `longueurMax` characters.
std::vector<std::string> LireINI(const std::string& section, const std::vector<ProfileEntry>& clesEtDefauts,
                                 const std::string& fichier, std::size_t longueurMax = kProfileValueMax);

/// Several keys of one section written in one read-modify-write, in the order given.
std::optional<Texte> EcrireINI(const std::string& section, const std::vector<ProfileEntry>& valeurs,
                                     const std::string& fichier);

}  // namespace korvalen
