#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace korvalen {

QString FileDialogsQt::askNewFile(const QString& title, const QString& filter, const QString& folder) {
    return QFileDialog::getSaveFileName(parent_, title, folder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

}  // namespace korvalen
