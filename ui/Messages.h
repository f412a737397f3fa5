#pragma once
// Message boxes on screen, for the run and every window.

#include <QString>

#include "run/IMessages.h"

class QWidget;

namespace korvalen {

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
