#include "rig/RigState.h"

#include "reference/BandPlan.h"

#include "rig/RigBandMode.h"

namespace qarvel {

QString RigState::StatusText() const {
    const QString retry = QStringLiteral("; reconnecting in %1 s").arg(retrySeconds);
    switch (link) {
    case Link::Off:
        return {};
    case Link::Connecting:
        return again ? QStringLiteral("Rig: reconnecting to %1").arg(address)
                     : QStringLiteral("Rig: connecting to %1").arg(address);
    case Link::Connected:
        if (hertz <= 0)
            return QStringLiteral("Rig: connected to %1").arg(address);
        return QStringLiteral("Rig: %1 MHz%2%3")
            .arg(MegahertzText(hertz), mode.isEmpty() ? QString() : QLatin1Char(' ') + mode,
                 BandOfHertz(hertz).isEmpty()               ? QStringLiteral(", out of band")
                 : !IsContestBand(BandOfHertz(hertz)) ? QStringLiteral(", not a contest band")
                                                      : QString());
    case Link::RigError:
        return QStringLiteral("Rig error: %1").arg(detail);
    case Link::Lost:
        return QStringLiteral("Rig lost: %1").arg(detail) + retry;
    case Link::TimedOut:
        return QStringLiteral("Rig timeout: %1").arg(detail) + retry;
    case Link::BadAnswer:
        return QStringLiteral("Rig bad answer: %1").arg(detail) + retry;
    }
    return {};
}

} // namespace qarvel
