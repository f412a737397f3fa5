#pragma once
// The system's reason for a failed file or device operation, in the operator's language.

#include <string>

namespace korvalen {

/// French text for the errno values an operator meets with files, folders and the port; the
/// system's own text for any other value.
std::string raisonSysteme(int erreur);

/// Why `dossier` cannot be listed, or an empty text when it can.
std::string raisonDossier(const std::string& dossier);

}  // namespace korvalen
