#pragma once
// A text for the operator, kept as its French wording and its arguments, so that the window that
// shows it can say it in the desktop's language.

#include <string>
#include <utility>
#include <vector>

/// Marks a French wording for the translators (all in one context, "Korvalen"); it stays the
/// wording itself.
#define TRADUISIBLE(contexte, texte) texte

namespace korvalen {

/// The context of the core's wordings among the translations.
inline constexpr const char* CONTEXTE_TEXTES = "Korvalen";

/// A message or a part of one: a French wording with %1 to %9 standing for its arguments, or a name,
/// a number or the system's own words, shown as they stand.
struct Texte {
    std::string modele;
    std::vector<Texte> arguments;
    bool traduisible = true;

    Texte() = default;
    /// A wording marked with TRADUISIBLE, and its arguments.
    Texte(const char* wording, std::vector<Texte> args = {}) : modele(wording), arguments(std::move(args)) {}
    /// A name, a path or a number: never translated.
    static Texte tel(std::string texte);

    bool vide() const { return modele.empty(); }
    /// The text in French, as the program has always said it.
    std::string francais() const;
};

}  // namespace korvalen
