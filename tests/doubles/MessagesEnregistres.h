#pragma once

#include <QList>
#include <QString>

#include "ui/Messages.h"

namespace korvalen::test {

/// Message double: records every box and answers questions from a script (Yes when the script is empty).
class MessagesEnregistres : public IMessages {
public:
    struct Message {
        QString genre;  // "afficher", "demander" or "signaler"
        QString texte;
        QString titre;
        Icone icone = Icone::Aucune;
    };
    void afficher(const QString& t, const QString& titre, Icone i) override { boxes.append({"afficher", t, titre, i}); }
    bool demander(const QString& t, const QString& titre) override {
        boxes.append({"demander", t, titre, Icone::Aucune});
        return reponses.isEmpty() ? true : reponses.takeFirst();
    }
    void signaler(const QString& t, const QString& titre) override { boxes.append({"signaler", t, titre, Icone::Aucune}); }

    QList<Message> boxes;
    QList<bool> reponses;
};

}  // namespace korvalen::test
