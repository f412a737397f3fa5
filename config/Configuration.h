#pragma once
// Loading and saving the three sections of Config.ini into the program-wide state.

#include <optional>
#include <string>

#include "engine/Variables.h"

namespace korvalen {

/// Full path of Config.ini in the program's folder.
std::string cheminConfig(const std::string& dossierProgramme);

/// Output names from [Sorties]; "Spot A0".."Spot B7" when absent.
void ChargerSorties(Variables& v);
/// Temps_timer, repertoire and fichierLUM from [Options].
void ChargerOptions(Variables& v, const std::string& dossierProgramme);
/// Bouton(1..5) from [Boutons].
void ChargerBoutons(Variables& v);

// Each save rewrites its whole section; on failure it returns a French message
// naming the file and the system's reason, and the old file stays whole.
std::optional<std::string> SauverSorties(const Variables& v);
std::optional<std::string> SauverOptions(const Variables& v);
std::optional<std::string> SauverBoutons(const Variables& v);

/// The integer value of a stored text: a decimal number rounded to the nearest whole number (a
/// half to the even neighbour), within -32768..32767; nothing when the text is no such number.
std::optional<Entier> entierINI(const std::string& texte);

}  // namespace korvalen
