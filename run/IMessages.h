#pragma once
// Message boxes go through one small service, so that the run asks without widgets and tests answer.

#include <QString>

namespace korvalen {

enum class Icone { Aucune, Critique, Exclamation };

/// The operator's message boxes.
class IMessages {
public:
    virtual ~IMessages() = default;
    /// A box with an OK button; returns when it is dismissed.
    virtual void afficher(const QString& texte, const QString& titre, Icone icone) = 0;
    /// A Yes/No question without icon; true for Yes.
    virtual bool demander(const QString& texte, const QString& titre) = 0;
    /// A notice that does not hold up the caller (used from inside the refresh tick).
    virtual void signaler(const QString& texte, const QString& titre) = 0;
};

}  // namespace korvalen
