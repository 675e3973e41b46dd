#pragma once

#include "app/StationSettings.h"

#include <QString>

namespace qarvel {

class QsoCheck;

// What a station sends after the report, as the contest's robot expects it
// of that station: a YO station its county, as the county table
// (romanian.dom) lists it; a station outside YO a serial number.
class SentExchangeRule {
public:
    explicit SentExchangeRule(const QsoCheck& counties);

    static bool IsHome(const StationSettings& station);

    // Why the station's own exchange (Station > Settings) cannot be sent:
    // a YO station without a county the table lists. Empty when it can.
    QString StationProblem(const StationSettings& station) const;
    // Why `sentRest`, what a QSO of the log sent after the report, does
    // not fit `station`; empty when it fits.
    QString QsoProblem(const StationSettings& station, const QString& sentRest) const;

private:
    QString ValidCodes() const;

    const QsoCheck& counties_;
};

} // namespace qarvel
