#pragma once
// The system's reason for a failed file or device operation, in the operator's language.

#include <string>

#include "engine/Texte.h"

namespace korvalen {

/// A wording of our own for the errno values an operator meets with files, folders, the port and
/// the network; the system's own text for any other value.
Texte raisonSysteme(int erreur);

/// Why `dossier` cannot be listed, or an empty text when it can.
Texte raisonDossier(const std::string& dossier);

}  // namespace korvalen
