// Where a portable and an installed copy keep Config.ini and the modes, with the user's folders
// pointed into a temporary folder.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Emplacements.h"

using namespace korvalen;

namespace {

// Sets or clears an environment variable for one test.
class Variable {
public:
    Variable(const char* nom, const QString& valeur) : nom_(nom), avant_(qgetenv(nom)), existait_(qEnvironmentVariableIsSet(nom)) {
        if (valeur.isNull()) qunsetenv(nom);
        else qputenv(nom, valeur.toUtf8());
    }
    ~Variable() {
        if (existait_) qputenv(nom_, avant_);
        else qunsetenv(nom_);
    }

private:
    const char* nom_;
    QByteArray avant_;
    bool existait_;
};

}  // namespace

const QString ENTREE = QStringLiteral("../share/applications/org.korvalen.Korvalen.desktop");

class EmplacementsTest : public QObject {
    Q_OBJECT
private slots:
    void aCopyTheUserCanWriteKeepsEverythingBesideIt();
    void anInstalledCopyUsesTheUsersFolders_data();
    void anInstalledCopyUsesTheUsersFolders();
};

void EmplacementsTest::aCopyTheUserCanWriteKeepsEverythingBesideIt() {
    QTemporaryDir racine;
    const QString r = racine.path() + "/";
    QVERIFY(QDir(r).mkpath("portable"));
    Variable home("HOME", racine.path());
    Variable config("XDG_CONFIG_HOME", QString());
    Variable donnees("XDG_DATA_HOME", QString());

    const Emplacements e = choisirEmplacements(r + "portable", ENTREE);
    QCOMPARE(QString::fromStdString(e.dossierConfig), r + "portable");
    QCOMPARE(QString::fromStdString(e.dossierModes), r + "portable");
    QVERIFY2(!QFile::exists(r + ".config") && !QFile::exists(r + ".local"), "a portable copy leaves the user's folders alone");
}

// The program in usr/bin with its menu entry in usr/share/applications, as `cmake --install` puts them.
void EmplacementsTest::anInstalledCopyUsesTheUsersFolders_data() {
    QTest::addColumn<bool>("xdg");  // XDG_CONFIG_HOME and XDG_DATA_HOME set
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("modes");
    QTest::newRow("home defaults") << false << ".config/korvalen" << ".local/share/korvalen/modes";
    QTest::newRow("xdg folders") << true << "conf/korvalen" << "data/korvalen/modes";
}

void EmplacementsTest::anInstalledCopyUsesTheUsersFolders() {
    QFETCH(bool, xdg);
    QFETCH(QString, config);
    QFETCH(QString, modes);
    QTemporaryDir racine;
    const QString r = racine.path() + "/";
    QVERIFY(QDir(r).mkpath("usr/bin"));
    QVERIFY(QDir(r).mkpath("usr/share/applications"));
    QFile entree(r + "usr/share/applications/org.korvalen.Korvalen.desktop");
    QVERIFY(entree.open(QIODevice::WriteOnly));
    Variable home("HOME", racine.path());
    Variable varConfig("XDG_CONFIG_HOME", xdg ? r + "conf" : QString());
    Variable varDonnees("XDG_DATA_HOME", xdg ? r + "data" : QString());

    // The program's folder is writable here, as /usr/bin is for root: the menu entry decides.
    const Emplacements e = choisirEmplacements(r + "usr/bin", ENTREE);
    QCOMPARE(QString::fromStdString(e.dossierConfig), r + config);
    QCOMPARE(QString::fromStdString(e.dossierModes), r + modes);
    QVERIFY2(QFileInfo(r + config).isDir(), "settings need their folder to be saved");
    QVERIFY2(QFileInfo(r + modes).isDir(), "the mode list and the editor start in the modes folder");
}

QTEST_GUILESS_MAIN(EmplacementsTest)
#include "EmplacementsTest.moc"
