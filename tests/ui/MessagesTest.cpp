#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ui/Messages.h"

using namespace korvalen;

namespace {

const QString NOM = "<h1>Gros</h1><img src=\"/etc/x.png\">.lum";

// Runs `reponse` on the modal box once it is open, then gives back what the box showed.
struct BoiteOuverte {
    Qt::TextFormat format = Qt::AutoText;
    QString texte;
};

// Polls, as the box opens inside exec().
BoiteOuverte pendantLaBoite(const std::function<void()>& ouvrir, QMessageBox::StandardButton bouton) {
    BoiteOuverte vue;
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        sonde.stop();
        vue = {box->textFormat(), box->text()};
        QTest::mouseClick(box->button(bouton), Qt::LeftButton);
    });
    sonde.start(10);
    ouvrir();
    return vue;
}

}  // namespace

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    void everyBoxShowsNamesAsPlainText();
};

void MessagesTest::everyBoxShowsNamesAsPlainText() {
    QWidget fenetre;
    MessagesQt messages(&fenetre);

    BoiteOuverte vue = pendantLaBoite([&] { messages.afficher(NOM, "Ack!", Icone::Exclamation); }, QMessageBox::Ok);
    QCOMPARE(vue.format, Qt::PlainText);
    QCOMPARE(vue.texte, NOM);

    bool oui = true;
    vue = pendantLaBoite([&] { oui = messages.demander(NOM, "Effacer"); }, QMessageBox::No);
    QCOMPARE(vue.format, Qt::PlainText);
    QVERIFY(!oui);
    pendantLaBoite([&] { oui = messages.demander(NOM, "Effacer"); }, QMessageBox::Yes);
    QVERIFY(oui);

    // The notice does not hold up its caller: it is still open when the call returns.
    messages.signaler(NOM, "Port parallèle");
    auto* notice = fenetre.findChild<QMessageBox*>();
    QVERIFY(notice != nullptr);
    QVERIFY(notice->isVisible());
    QVERIFY(!notice->isModal());
    QCOMPARE(notice->textFormat(), Qt::PlainText);
}

QTEST_MAIN(MessagesTest)
#include "MessagesTest.moc"
