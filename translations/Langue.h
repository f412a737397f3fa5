#pragma once
// The language the program speaks: the first of the desktop's languages that it has, French otherwise.

#include <QStringList>
#include <QTranslator>

class QCoreApplication;

namespace korvalen {

/// The languages Korvalen speaks ("fr", its own, and one per translation built in), by their ISO 639 code.
QStringList languesDisponibles();

/// The first of `languesUtilisateur` (as `QLocale::uiLanguages()` gives them, "en-US", "de", "C"...)
/// that Korvalen speaks, by its ISO 639 code; "fr" when none is.
QString choisirLangue(const QStringList& languesUtilisateur);

/// The language of this desktop's session (LANGUAGE, then LC_ALL, LC_MESSAGES and LANG), as
/// choisirLangue picks it.
QString langueDuBureau();

/// Korvalen's and Qt's own translations for one language, loaded at once so that they also serve
/// before the application exists (the command line's help).
class Traductions {
public:
    explicit Traductions(const QString& langue);
    Traductions(const Traductions&) = delete;
    Traductions& operator=(const Traductions&) = delete;

    const QString& langue() const { return langue_; }
    /// `source` in this language: the source itself in French or when no translation has it.
    QString traduire(const char* contexte, const char* source) const;
    /// Makes every tr() of the application speak this language, Qt's standard buttons included.
    void installer();

private:
    QString langue_;
    QTranslator korvalen_;
    QTranslator qt_;
    bool korvalenCharge_ = false;
    bool qtCharge_ = false;
};

}  // namespace korvalen
