#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace korvalen {

QString FileDialogsQt::askNewFile(const QString& title, const QString& filter, const QString& folder) {
    QFileDialog dialog(parent_, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name typed without extension gets the filter's, so that the new file shows in the lists.
    const QRegularExpressionMatch extension = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (extension.hasMatch()) dialog.setDefaultSuffix(extension.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace korvalen
