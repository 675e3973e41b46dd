#include "contest/SentExchangeRule.h"

#include "contest/QsoCheck.h"
#include "plugin/TextRules.h"

#include <QRegularExpression>

namespace qarvel {

SentExchangeRule::SentExchangeRule(const QsoCheck& counties) : counties_(counties) {}

bool SentExchangeRule::IsHome(const StationSettings& station) {
    return zelmar::IsHomePrefix(station.dxccPrefix.trimmed().toUpper().toStdString());
}

QString SentExchangeRule::ValidCodes() const {
    return counties_.CountyCodes().join(QLatin1Char(' '));
}

QString SentExchangeRule::StationProblem(const StationSettings& station) const {
    // Without the county table nothing can be judged, and an operator must
    // still be able to give the station.
    if (!IsHome(station) || counties_.CountyCodes().isEmpty())
        return {};
    const QString county = station.sentExchange.trimmed().toUpper();
    if (county.isEmpty())
        return QStringLiteral("A YO station sends its county after the report. The codes are: %1")
            .arg(ValidCodes());
    if (!counties_.IsCounty(county))
        return QStringLiteral("\"%1\" is not a county of romanian.dom. The codes are: %2")
            .arg(county, ValidCodes());
    return {};
}

QString SentExchangeRule::QsoProblem(const StationSettings& station,
                                     const QString& sentRest) const {
    const QString rest = sentRest.simplified().toUpper();
    if (rest.isEmpty())
        return {}; // said by the check as an exchange not sent at all
    if (IsHome(station)) {
        if (!counties_.IsCounty(rest))
            return QStringLiteral("sent \"%1\", but %2 is a YO station and sends one of the "
                                  "counties of romanian.dom")
                .arg(rest, station.call);
        return {};
    }
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (!number.match(rest).hasMatch())
        return QStringLiteral("sent \"%1\", but %2 is no YO station and sends a serial number")
            .arg(rest, station.call);
    return {};
}

} // namespace qarvel
