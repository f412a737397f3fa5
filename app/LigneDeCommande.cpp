#include "app/LigneDeCommande.h"

#include <QCommandLineParser>
#include <QTextStream>

#include "translations/Langue.h"

namespace korvalen {

namespace {

// Options that QApplication takes out of the command line itself; they are accepted here unseen,
// so that "korvalen -style fusion" still starts.
const char* const OPTIONS_DE_QT[][2] = {
    {"platform", "v"}, {"platformpluginpath", "v"}, {"platformtheme", "v"}, {"plugin", "v"},
    {"qwindowgeometry", "v"}, {"qwindowicon", "v"}, {"qwindowtitle", "v"}, {"style", "v"},
    {"stylesheet", "v"}, {"display", "v"}, {"geometry", "v"}, {"session", "v"}, {"reverse", ""},
    {"widgetcount", ""}, {"sync", ""}, {"nograb", ""}, {"dograb", ""}};

}  // namespace

std::optional<int> traiterLigneDeCommande(const QStringList& arguments, QTextStream& sortie, QTextStream& erreurs,
                                          const Traductions& traductions) {
    const auto dire = [&traductions](const char* source) { return traductions.traduire("LigneDeCommande", source); };
    QCommandLineParser lecteur;
    // "-platform xcb" as Qt spells its own options; "-h" and "-v" stay what they are.
    lecteur.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption aide(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    lecteur.addOption(aide);
    lecteur.addOption(version);
    for (const auto& [nom, valeur] : OPTIONS_DE_QT) {
        QCommandLineOption o(QString::fromLatin1(nom));
        if (*valeur != '\0') o.setValueName(dire(QT_TRANSLATE_NOOP("LigneDeCommande", "valeur")));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        lecteur.addOption(o);
    }
    const QString programme = QStringLiteral("korvalen");
    const bool lu = lecteur.parse(arguments);
    if (!lu || !lecteur.positionalArguments().isEmpty()) {
        if (!lecteur.unknownOptionNames().isEmpty()) {
            // Shown as typed: "-x", "--inconnue" or "-inconnue".
            const QString nom = lecteur.unknownOptionNames().constFirst();
            QString tapee = (nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nom;
            for (const QString& a : arguments.mid(1)) {
                if (a.startsWith(QLatin1Char('-')) && a.section(QLatin1Char('='), 0, 0).mid(a.startsWith(QStringLiteral("--")) ? 2 : 1) == nom) {
                    tapee = a.section(QLatin1Char('='), 0, 0);
                    break;
                }
            }
            erreurs << dire(QT_TRANSLATE_NOOP("LigneDeCommande", "%1 : option inconnue « %2 »")).arg(programme, tapee)
                    << '\n';
        } else if (!lu) {
            erreurs << dire(QT_TRANSLATE_NOOP("LigneDeCommande", "%1 : une option attend une valeur")).arg(programme)
                    << '\n';
        } else {
            erreurs << dire(QT_TRANSLATE_NOOP("LigneDeCommande", "%1 : argument inattendu « %2 »"))
                           .arg(programme, lecteur.positionalArguments().constFirst())
                    << '\n';
        }
        erreurs << dire(QT_TRANSLATE_NOOP("LigneDeCommande", "Essayez « korvalen --help » pour la liste des options."))
                << '\n';
        erreurs.flush();
        return 2;
    }
    if (lecteur.isSet(aide)) {
        sortie << dire(QT_TRANSLATE_NOOP("LigneDeCommande",
            "Usage : korvalen [option]\n"
            "Jeu de lumière piloté par le son : les lampes suivent la musique qu'écoute la carte son.\n"
            "Sans option, ouvre la fenêtre principale.\n"
            "\n"
            "Options :\n"
            "  -h, --help     affiche cette aide et quitte\n"
            "  -v, --version  affiche le nom et la version du programme et quitte\n"
            "\n"
            "Réglages : Config.ini (voir « man korvalen »).\n"));
        sortie.flush();
        return 0;
    }
    if (lecteur.isSet(version)) {
        sortie << QStringLiteral("Korvalen " KORVALEN_VERSION "\n");
        sortie.flush();
        return 0;
    }
    return std::nullopt;
}

}  // namespace korvalen
