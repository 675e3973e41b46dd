#include "formats/ExchangeText.h"

#include <QRegularExpression>
#include <QStringList>

namespace qarvel {

ExchangeText ExchangeText::Split(const QString& text) {
    static const QRegularExpression report(QStringLiteral("^[1-5][1-9N][1-9N]?[A-Z]?$"));
    QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ExchangeText out;
    if (!words.isEmpty() && report.match(words.first().toUpper()).hasMatch())
        out.report = words.takeFirst();
    out.rest = words.join(QLatin1Char(' '));
    return out;
}

} // namespace qarvel
