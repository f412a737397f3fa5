#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "doubles/TemporaryFolder.h"
#include "ui/FileDialogs.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

// Once the dialog is up, `answer` plays the operator's part in it; polls, as the dialog opens inside exec().
void whenTheDialogShows(const std::function<void(QFileDialog&)>& answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->deleteLater();
        poll->stop();
        answer(*dialog);
    });
    poll->start(10);
}

// Types a name into the dialog's file name field and presses Return.
void typeName(QFileDialog& dialog, const QString& name) {
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(field);
    field->clear();
    QTest::keyClicks(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void newFileDialog_data();
    void newFileDialog();
    void cancelledGivesNothing();
};

void FileDialogsTest::newFileDialog_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("exists");
    QTest::newRow("name without extension gets it") << "soiree" << "soiree.lum" << false;
    QTest::newRow("name with extension kept") << "soiree.lum" << "soiree.lum" << false;
    QTest::newRow("existing file: no question from the dialog") << "fete.lum" << "fete.lum" << true;
}

void FileDialogsTest::newFileDialog() {
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QFETCH(bool, exists);
    TemporaryFolder folder;
    if (exists) TemporaryFolder::write(folder.file(chosen.toStdString()), "x");
    FileDialogsQt dialogs;
    QString title;
    whenTheDialogShows([&](QFileDialog& d) {
        title = d.windowTitle();
        typeName(d, typed);
    });
    const QString path = dialogs.askNewFile("Nouveau", "Fichier Lumière (*.lum)", QString::fromStdString(folder.path()));
    QCOMPARE(title, QString("Nouveau"));
    QCOMPARE(path, QString::fromStdString(folder.file(chosen.toStdString())));
}

void FileDialogsTest::cancelledGivesNothing() {
    TemporaryFolder folder;
    FileDialogsQt dialogs;
    whenTheDialogShows([](QFileDialog& d) { d.reject(); });
    QVERIFY(dialogs.askNewFile("Nouveau", "Fichier Lumière (*.lum)", QString::fromStdString(folder.path())).isEmpty());
}

QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
