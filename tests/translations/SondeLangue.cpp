// Starts the main window in the desktop's language, as the program does, and prints what an operator
// reads first: the run button's caption, then the quit question and its title.
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/Emplacements.h"
#include "doubles/DoublesPrincipale.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "translations/Langue.h"

int main(int argc, char* argv[]) {
    using namespace korvalen;
    QApplication app(argc, argv);
    Traductions traductions(langueDuBureau());
    traductions.installer();
    QTemporaryDir dossier;
    test::DoublesPrincipale d;
    Marche marche(d.v, d.cartes, d.entree, d.port, d.messages, Emplacements::ensemble(dossier.path().toStdString()));
    FPrincipale fenetre(marche, d.messages);
    d.messages.reponses = {false};
    fenetre.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
    QTextStream sortie(stdout);
    sortie << fenetre.findChild<QPushButton*>(QStringLiteral("Command3"))->text() << '\n';
    for (const auto& m : d.messages.boxes) sortie << m.texte << '\n' << m.titre << '\n';
    return 0;
}
