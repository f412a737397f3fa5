// The real program's command line, run without a display: each case answers at once and ends.
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

// Starts the program without a display or a sound system, its desktop's language being `lang`.
void lancer(QProcess& p, const QStringList& arguments, const QString& lang) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* nom : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(nom));
    // A sound system asked would print its own complaints about the missing card here.
    env.insert(QStringLiteral("ALSA_CONFIG_PATH"), QStringLiteral("/nonexistent/alsa.conf"));
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent"));
    for (const char* nom : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(QString::fromLatin1(nom));
    env.insert(QStringLiteral("LANG"), lang);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVALEN_PROGRAM), arguments);
    QVERIFY(p.waitForFinished(10000));
}

class LigneDeCommandeTest : public QObject {
    Q_OBJECT
private slots:
    void repondSansFenetre_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("sortie");   // a pattern the whole of stdout matches
        QTest::addColumn<QString>("erreurs");  // a pattern the whole of stderr matches
        const QString aide = QStringLiteral(
            "Usage : korvalen \\[option\\]\n(.+\n)+\nOptions :\n"
            "  -h, --help +\\S.*\n  -v, --version +\\S.*\n\n.*man korvalen.*\n");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << aide << QString();
        QTest::newRow("-h") << QStringList{"-h"} << 0 << aide << QString();
        QTest::newRow("--version") << QStringList{"--version"} << 0 << QStringLiteral("Korvalen " KORVALEN_VERSION "\n")
                                   << QString();
        QTest::newRow("-v") << QStringList{"-v"} << 0 << QStringLiteral("Korvalen " KORVALEN_VERSION "\n") << QString();
        const QString essayez = QStringLiteral("Essayez « korvalen --help » pour la liste des options.\n");
        QTest::newRow("unknown long") << QStringList{"--inconnue"} << 2 << QString()
                                      << QStringLiteral("korvalen : option inconnue « --inconnue »\n") + essayez;
        QTest::newRow("unknown short") << QStringList{"-x"} << 2 << QString()
                                       << QStringLiteral("korvalen : option inconnue « -x »\n") + essayez;
        QTest::newRow("unknown, one dash") << QStringList{"-inconnue=3"} << 2 << QString()
                                           << QStringLiteral("korvalen : option inconnue « -inconnue »\n") + essayez;
        QTest::newRow("argument") << QStringList{"fete.lum"} << 2 << QString()
                                  << QStringLiteral("korvalen : argument inattendu « fete.lum »\n") + essayez;
        // An unknown option wins over --help: nothing starts and the status says the line is wrong.
        QTest::newRow("help and unknown") << QStringList{"--help", "--inconnue"} << 2 << QString()
                                          << QStringLiteral("korvalen : option inconnue « --inconnue »\n") + essayez;
    }

    void repondSansFenetre() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, sortie);
        QFETCH(QString, erreurs);
        QProcess p;
        lancer(p, arguments, QStringLiteral("C.UTF-8"));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(sortie)).match(out).hasMatch(), qPrintable(out));
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(erreurs)))
                     .match(err)
                     .hasMatch(),
                 qPrintable(err));
        QCOMPARE(p.exitCode(), code);
    }

    void enAnglaisSurUnBureauAnglais();
};

// An English desktop gets its help and its complaints in English, with nothing French left.
void LigneDeCommandeTest::enAnglaisSurUnBureauAnglais() {
    QProcess aide;
    lancer(aide, {QStringLiteral("--help")}, QStringLiteral("en_US.UTF-8"));
    const QString sortie = QString::fromUtf8(aide.readAllStandardOutput());
    QVERIFY2(sortie.startsWith(QStringLiteral("Usage: korvalen [option]\n")), qPrintable(sortie));
    QVERIFY2(sortie.contains(QStringLiteral("--help")) && !sortie.contains(QStringLiteral("affiche")), qPrintable(sortie));
    QProcess faute;
    lancer(faute, {QStringLiteral("--inconnue")}, QStringLiteral("en_US.UTF-8"));
    QCOMPARE(faute.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(faute.readAllStandardError()),
             QStringLiteral("korvalen: unknown option \"--inconnue\"\nTry \"korvalen --help\" for the list of options.\n"));
}

QTEST_GUILESS_MAIN(LigneDeCommandeTest)
#include "LigneDeCommandeTest.moc"
