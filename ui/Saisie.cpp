#include "ui/Saisie.h"

namespace korvalen {

std::optional<qint64> entierSaisi(const QString& saisie, qint64 minimum, qint64 maximum) {
    const QString t = saisie.trimmed();
    // Longer than any bound a window asks for; keeps toLongLong() clear of overflow.
    if (t.isEmpty() || t.size() > 12) return std::nullopt;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    }
    const qint64 n = t.toLongLong();
    if (n < minimum || n > maximum) return std::nullopt;
    return n;
}

}  // namespace korvalen
