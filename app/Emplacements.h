#pragma once
// Choosing where a copy of the program keeps Config.ini and its modes.

#include <QString>

#include "config/Configuration.h"

namespace korvalen {

/// Beside the program for a copy the user can write to (a build tree, a portable folder). For an
/// installed copy, known by its menu entry at `entreeMenu` (relative to the program's folder), or a
/// folder the user cannot write, the user's own folders: $XDG_CONFIG_HOME/korvalen and
/// $XDG_DATA_HOME/korvalen/modes, created here so that settings and modes can be saved.
Emplacements choisirEmplacements(const QString& dossierProgramme, const QString& entreeMenu);

}  // namespace korvalen
