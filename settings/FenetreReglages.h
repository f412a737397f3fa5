#pragma once
// What the settings windows share: labels fitted to their places and how a failed save is told.

#include <QString>
#include <optional>
#include <string>

#include "engine/Texte.h"

class QWidget;

namespace korvalen {

class IMessages;

/// Gives each label whose caption is wider than its place a smaller font (down to 6 points), so
/// that the fonts of this system, wider than the layout was drawn for, cut no caption short.
void ajusterLibelles(QWidget& fenetre);

/// Closes `fenetre` after a save that went through; otherwise tells the operator why and leaves the
/// window open with its edits, so that nothing typed is lost.
void fermerSiEnregistre(QWidget& fenetre, const std::optional<Texte>& erreur, IMessages& messages);

}  // namespace korvalen
