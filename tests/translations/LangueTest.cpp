// The language chosen as a Linux desktop chooses it, and the core's messages said in it.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

#include "engine/Texte.h"
#include "translations/Langue.h"
#include "translations/TexteQt.h"

using namespace korvalen;

class LangueTest : public QObject {
    Q_OBJECT
private slots:
    void premiereLangueDisponible_data() {
        QTest::addColumn<QStringList>("langues");
        QTest::addColumn<QString>("choisie");
        QTest::newRow("English, United States") << QStringList{"en-US", "en"} << "en";
        QTest::newRow("French") << QStringList{"fr-FR", "fr"} << "fr";
        QTest::newRow("C") << QStringList{"C"} << "fr";
        QTest::newRow("POSIX") << QStringList{"POSIX"} << "fr";
        QTest::newRow("none") << QStringList{} << "fr";
        QTest::newRow("German, then English") << QStringList{"de-DE", "de", "en"} << "en";
        QTest::newRow("German only") << QStringList{"de"} << "fr";
        QTest::newRow("French before English") << QStringList{"fr-CA", "en-US"} << "fr";
        QTest::newRow("locale spelling") << QStringList{"en_GB.UTF-8"} << "en";
    }
    void premiereLangueDisponible() {
        QFETCH(QStringList, langues);
        QFETCH(QString, choisie);
        QCOMPARE(choisirLangue(langues), choisie);
    }

    // The window as the program starts it under each desktop: the run button and the quit question.
    void fenetreSelonLeBureau_data() {
        QTest::addColumn<QStringList>("environnement");
        QTest::addColumn<bool>("anglais");
        QTest::newRow("LANG=en_US.UTF-8") << QStringList{"LANG=en_US.UTF-8"} << true;
        QTest::newRow("LANG=fr_FR.UTF-8") << QStringList{"LANG=fr_FR.UTF-8"} << false;
        QTest::newRow("LANG=C.UTF-8") << QStringList{"LANG=C.UTF-8"} << false;
        QTest::newRow("LANGUAGE=de:en") << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=de:en"} << true;
        QTest::newRow("LC_ALL over LANG") << QStringList{"LANG=fr_FR.UTF-8", "LC_ALL=en_US.UTF-8"} << true;
    }
    void fenetreSelonLeBureau() {
        QFETCH(QStringList, environnement);
        QFETCH(bool, anglais);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* nom : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(QString::fromLatin1(nom));
        for (const QString& e : environnement) env.insert(e.section('=', 0, 0), e.section('=', 1));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess sonde;
        sonde.setProcessEnvironment(env);
        sonde.start(QStringLiteral(KORVALEN_SONDE_LANGUE));
        QVERIFY(sonde.waitForFinished(30000));
        QCOMPARE(sonde.exitCode(), 0);
        const QStringList lu = QString::fromUtf8(sonde.readAllStandardOutput()).split('\n');
        QVERIFY2(lu.size() >= 3, qPrintable(lu.join('|')));

        Traductions en(QStringLiteral("en"));
        const QString lancement = en.traduire("korvalen::FPrincipale", "Lancement");
        const QString question = en.traduire("korvalen::FPrincipale", "Voulez-vous vraiment Quitter!");
        QVERIFY(lancement != QStringLiteral("Lancement") && question != QStringLiteral("Voulez-vous vraiment Quitter!"));
        QCOMPARE(lu[0], anglais ? lancement : QStringLiteral("Lancement"));
        QCOMPARE(lu[1], anglais ? question : QStringLiteral("Voulez-vous vraiment Quitter!"));
    }

    // A message from the core: its wording translated, a name in it as it stands, even one that
    // looks like a wording or holds a "%1".
    void texteDuNoyau() {
        const Texte raison(TRADUISIBLE("Korvalen", "permission refusée"));
        const Texte message(TRADUISIBLE("Korvalen", "Impossible d'enregistrer %1 : %2"),
                            {Texte::tel("/home/moi/permission refusée %1.lum"), raison});
        QCOMPARE(QString::fromStdString(message.francais()),
                 QStringLiteral("Impossible d'enregistrer /home/moi/permission refusée %1.lum : permission refusée"));
        QCOMPARE(traduire(message), QString::fromStdString(message.francais()));  // no translation installed

        Traductions en(QStringLiteral("en"));
        en.installer();
        QCOMPARE(traduire(message), QStringLiteral("Cannot save /home/moi/permission refusée %1.lum: permission denied"));
    }
};

QTEST_GUILESS_MAIN(LangueTest)
#include "LangueTest.moc"
