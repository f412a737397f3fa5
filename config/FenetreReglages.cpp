#include "config/FenetreReglages.h"

#include <QWidget>

#include "ui/Messages.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

void preparerFenetreReglages(QWidget& fenetre, const QString& nom, const QString& titre, int largeurTwips,
                             int hauteurTwips) {
    setUpFixedWindow(fenetre, nom, titre, largeurTwips, hauteurTwips);
    fenetre.setAttribute(Qt::WA_DeleteOnClose);
}

void fermerSiEnregistre(QWidget& fenetre, const std::optional<std::string>& erreur, IMessages& messages) {
    if (erreur) {
        messages.afficher(QString::fromStdString(*erreur), fenetre.windowTitle(), Icone::Exclamation);
        return;
    }
    fenetre.close();
}

}  // namespace korvalen
