#pragma once
// What the settings windows share: how they are set up and how a failed save is told.

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace korvalen {

class IMessages;

/// Sets up a settings window: name, title, font, fixed client size in twips; destroyed when closed.
void preparerFenetreReglages(QWidget& fenetre, const QString& nom, const QString& titre, int largeurTwips,
                             int hauteurTwips);

/// Gives each label whose caption is wider than its place a smaller font (down to 6 points), so
/// that the fonts of this system, wider than the layout was drawn for, cut no caption short.
void ajusterLibelles(QWidget& fenetre);

/// Closes `fenetre` after a save that went through; otherwise tells the operator why and leaves the
/// window open with its edits, so that nothing typed is lost.
void fermerSiEnregistre(QWidget& fenetre, const std::optional<std::string>& erreur, IMessages& messages);

}  // namespace korvalen
