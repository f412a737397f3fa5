#include "translations/Langue.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace korvalen {

namespace {

// Where the build puts the compiled translations, inside the program itself.
const QString DOSSIER_TRADUCTIONS = QStringLiteral(":/i18n");
const QString LANGUE_PROPRE = QStringLiteral("fr");

// "en-US", "en_US.UTF-8", "EN" -> "en"; "C" and "POSIX" name no language.
QString codeLangue(const QString& nom) {
    const QString code = nom.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0)
                             .section(QLatin1Char('.'), 0, 0).toLower();
    if (code == QLatin1String("c") || code == QLatin1String("posix")) return {};
    return code;
}

}  // namespace

QStringList languesDisponibles() {
    QStringList langues{LANGUE_PROPRE};
    const QStringList fichiers = QDir(DOSSIER_TRADUCTIONS).entryList({QStringLiteral("korvalen_*.qm")}, QDir::Files);
    for (const QString& f : fichiers) langues << f.mid(9, f.size() - 9 - 3);
    return langues;
}

QString choisirLangue(const QStringList& languesUtilisateur) {
    const QStringList disponibles = languesDisponibles();
    for (const QString& l : languesUtilisateur) {
        const QString code = codeLangue(l);
        if (!code.isEmpty() && disponibles.contains(code)) return code;
    }
    return LANGUE_PROPRE;
}

QString langueDuBureau() { return choisirLangue(QLocale::system().uiLanguages()); }

Traductions::Traductions(const QString& langue) : langue_(langue) {
    if (langue_ != LANGUE_PROPRE) {
        korvalenCharge_ = korvalen_.load(QStringLiteral("korvalen_") + langue_, DOSSIER_TRADUCTIONS);
    }
    // Qt's own texts are English: every other language, French included, takes Qt's translation.
    if (langue_ != QLatin1String("en")) {
        qtCharge_ = qt_.load(QStringLiteral("qtbase_") + langue_, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

QString Traductions::traduire(const char* contexte, const char* source) const {
    if (korvalenCharge_) {
        const QString t = korvalen_.translate(contexte, source);
        if (!t.isEmpty()) return t;
    }
    return QString::fromUtf8(source);
}

void Traductions::installer() {
    if (korvalenCharge_) QCoreApplication::installTranslator(&korvalen_);
    if (qtCharge_) QCoreApplication::installTranslator(&qt_);
}

}  // namespace korvalen
