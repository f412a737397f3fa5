#pragma once
// The .lum mode file: reading and writing the mode part of the sixteen output records.

#include <iosfwd>
#include <optional>
#include <string>

#include "engine/Texte.h"
#include "engine/Variables.h"

namespace korvalen {

/// Full path of the current mode file: repertoire, "/", fichierLUM.
std::string cheminModes(const Variables& v);

/// Reads fields in file order into the records, stopping silently at the first failure.
void lireModes(Variables& v, std::istream& entree);
/// Writes the 336 fields in the exact layout (CR LF, trailing commas, no final line end).
void ecrireModes(const Variables& v, std::ostream& sortie);

/// Reads the current mode file; a missing or damaged file leaves what was not read unchanged.
void ChargerModes(Variables& v);
/// Writes the current mode file; on failure a French message naming the file and the reason.
std::optional<Texte> SauverModes(const Variables& v);

/// Creates `chemin` as an empty mode file (the placeholder that reading leaves without effect),
/// replacing any file of that name; on failure a French message naming the file and the reason.
std::optional<Texte> creerModeVide(const std::string& chemin);

/// Gives SortieA(i) the number i and SortieB(i) the number 8 + i.
void NumeroterSorties(Variables& v);

}  // namespace korvalen
