#include "contest/LogFinding.h"

namespace qarvel {

QString LogFinding::Line() const {
    if (number == 0)
        return QStringLiteral("Log: %1%2").arg(
            information ? QStringLiteral("(information) ") : QString(), text);
    return QStringLiteral("QSO %1, %2 %3 %4 %5 %6: %7%8")
        .arg(number)
        .arg(qso.date, qso.time.left(5), qso.call, qso.band, qso.mode,
             information ? QStringLiteral("(information) ") : QString(), text);
}

} // namespace qarvel
