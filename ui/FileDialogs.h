#pragma once
// File dialogs go through one small service, beside the message service, so tests can answer them.

#include <QString>

class QWidget;

namespace korvalen {

/// The file dialogs the windows show.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    /// Asks for the name of a file to create, starting in `folder`; empty when cancelled.
    /// A name typed without extension gets that of the filter's first pattern. Replacing an
    /// existing file is the caller's question, not the dialog's.
    virtual QString askNewFile(const QString& title, const QString& filter, const QString& folder) = 0;
};

/// File dialogs on screen.
class FileDialogsQt : public IFileDialogs {
public:
    explicit FileDialogsQt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString askNewFile(const QString& title, const QString& filter, const QString& folder) override;

private:
    QWidget* parent_;
};

}  // namespace korvalen
