#include "contest/QsoClock.h"

#include <QTimeZone>

namespace qarvel {

QDateTime QsoClock::When(const QsoRow& r) {
    // Date and time are read apart and joined in UTC: read as one local
    // text, a time in the local clock's spring-forward gap would be lost.
    const QDate date = QDate::fromString(r.date.trimmed(), QStringLiteral("yyyy-MM-dd"));
    QTime time = QTime::fromString(r.time.trimmed(), QStringLiteral("HH:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(r.time.trimmed(), QStringLiteral("HH:mm"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

std::optional<qint64> QsoClock::Seconds(const QsoRow& row) {
    const QDateTime t = When(row);
    if (!t.isValid())
        return std::nullopt;
    return t.toSecsSinceEpoch();
}

QString QsoClock::MinuteText(qint64 minute) {
    return QDateTime::fromSecsSinceEpoch(minute * 60, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString QsoClock::Duration(qint64 minutes) {
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace qarvel
