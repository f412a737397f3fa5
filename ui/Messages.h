#pragma once
// Message boxes go through one small service, so tests can answer them.

#include <QString>

class QWidget;

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

/// Message boxes on screen.
class MessagesQt : public IMessages {
public:
    explicit MessagesQt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void afficher(const QString& texte, const QString& titre, Icone icone) override;
    bool demander(const QString& texte, const QString& titre) override;
    void signaler(const QString& texte, const QString& titre) override;

private:
    QWidget* parent_;
};

}  // namespace korvalen
