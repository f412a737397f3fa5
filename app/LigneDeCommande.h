#pragma once
// The program's command line, read before anything opens a window or the sound system.

#include <QStringList>
#include <optional>

class QTextStream;

namespace korvalen {

class Traductions;

/// Reads `arguments` (the program's name first): answers --help and --version on `sortie`, an
/// unknown option or argument on `erreurs`. Gives the status to end with, or nothing when the
/// program should start. Qt's own options ("-platform", "-style" ...) are let through to Qt. The
/// answers speak the language of `traductions`, since no application exists yet.
std::optional<int> traiterLigneDeCommande(const QStringList& arguments, QTextStream& sortie, QTextStream& erreurs,
                                          const Traductions& traductions);

}  // namespace korvalen
