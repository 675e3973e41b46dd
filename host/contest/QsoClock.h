#pragma once

#include "logbook/QsoRow.h"

#include <QDateTime>
#include <optional>

namespace qarvel {

// When a QSO was logged, from the log's date and time texts (UTC; the
// seconds may be missing).
struct QsoClock {
    static QDateTime When(const QsoRow& row);
    // Seconds since the epoch; nothing when the texts cannot be read.
    static std::optional<qint64> Seconds(const QsoRow& row);
    // "2024-03-09 12:05" for a minute since the epoch.
    static QString MinuteText(qint64 minute);
    // "5 h 07 min" for a number of minutes.
    static QString Duration(qint64 minutes);
};

} // namespace qarvel
