#include "translations/TexteQt.h"

#include <QCoreApplication>

namespace korvalen {

QString traduire(const Texte& texte) {
    if (!texte.traduisible) return QString::fromStdString(texte.modele);
    const QString modele = QCoreApplication::translate(CONTEXTE_TEXTES, texte.modele.c_str());
    // One pass, so that an argument's own "%1" stays as it is.
    QString resultat;
    for (qsizetype i = 0; i < modele.size(); ++i) {
        const QChar suivant = i + 1 < modele.size() ? modele[i + 1] : QChar();
        const int n = suivant.unicode() - u'1';
        if (modele[i] == u'%' && n >= 0 && n < 9 && static_cast<std::size_t>(n) < texte.arguments.size()) {
            resultat += traduire(texte.arguments[static_cast<std::size_t>(n)]);
            ++i;
        } else {
            resultat += modele[i];
        }
    }
    return resultat;
}

}  // namespace korvalen
