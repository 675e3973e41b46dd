#include "rig/RigBandMode.h"

#include "reference/BandPlan.h"

namespace qarvel {

QString BandOfHertz(qint64 hertz) {
    return BandFromMegahertz(static_cast<double>(hertz) / 1e6);
}

QString MegahertzText(qint64 hertz) {
    QString fraction = QStringLiteral("%1").arg(hertz % 1000000, 6, 10, QLatin1Char('0'));
    while (fraction.size() > 3 && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return QStringLiteral("%1.%2").arg(hertz / 1000000).arg(fraction);
}

QString LogModeOfRig(const QString& rigMode) {
    const QString m = rigMode.trimmed().toUpper();
    if (m == QLatin1String("CW") || m == QLatin1String("CWR"))
        return QStringLiteral("CW");
    if (m == QLatin1String("USB") || m == QLatin1String("LSB") || m == QLatin1String("AM"))
        return QStringLiteral("SSB");
    return m;
}

} // namespace qarvel
