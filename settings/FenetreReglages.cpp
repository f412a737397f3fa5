#include "settings/FenetreReglages.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>

#include "ui/Messages.h"
#include "translations/TexteQt.h"

namespace korvalen {

void ajusterLibelles(QWidget& fenetre) {
    for (QLabel* l : fenetre.findChildren<QLabel*>()) {
        QFont police = l->font();
        while (QFontMetricsF(police).horizontalAdvance(l->text()) > l->width() && police.pointSizeF() > 6) {
            police.setPointSizeF(police.pointSizeF() - 0.25);
        }
        if (police != l->font()) l->setFont(police);
    }
}

void fermerSiEnregistre(QWidget& fenetre, const std::optional<Texte>& erreur, IMessages& messages) {
    if (erreur) {
        messages.afficher(traduire(*erreur), fenetre.windowTitle(), Icone::Exclamation);
        return;
    }
    fenetre.close();
}

}  // namespace korvalen
