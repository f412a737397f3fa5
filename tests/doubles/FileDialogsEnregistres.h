#pragma once

#include <QList>
#include <QString>

#include "ui/FileDialogs.h"

namespace korvalen::test {

/// File dialog double: records every dialog and answers from a script (cancelled when the script is empty).
class FileDialogsEnregistres : public IFileDialogs {
public:
    struct Dialogue {
        QString titre;
        QString filtre;
        QString dossier;
    };
    QString askNewFile(const QString& title, const QString& filter, const QString& folder) override {
        dialogues.append({title, filter, folder});
        return reponses.isEmpty() ? QString() : reponses.takeFirst();
    }

    QList<Dialogue> dialogues;
    QList<QString> reponses;
};

}  // namespace korvalen::test
