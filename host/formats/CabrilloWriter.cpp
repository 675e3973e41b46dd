#include "formats/CabrilloWriter.h"

#include "reference/BandPlan.h"
#include "formats/ExchangeText.h"

#include <QSet>
#include <QStringList>
#include <cmath>

namespace qarvel {

namespace {

QString Frequency(const QsoRow& r) {
    bool ok = false;
    const double mhz = r.frequency.toDouble(&ok);
    const int khz =
        ok && mhz > 0 ? static_cast<int>(std::lround(mhz * 1000.0)) : LowerEdgeKilohertz(r.band);
    return QString::number(khz);
}

QString Time(const QsoRow& r) {
    return r.time.left(5).remove(QLatin1Char(':'));
}

// A report and exchange in two columns; a missing report is the usual one
// for the mode, so that every line has the same number of fields.
QString Exchange(const QString& text, const QString& mode) {
    const ExchangeText e = ExchangeText::Split(text);
    const QString report = e.report.isEmpty() ? DefaultReport(mode) : e.report;
    return report.leftJustified(3) + QLatin1Char(' ') + e.rest.leftJustified(6);
}

QString CategoryBand(const std::vector<QsoRow>& rows) {
    QSet<QString> bands;
    for (const QsoRow& r : rows)
        bands.insert(r.band);
    if (bands.size() != 1)
        return QStringLiteral("ALL");
    return AdifNameOfBand(*bands.begin()).toUpper();
}

QString CategoryMode(const std::vector<QsoRow>& rows) {
    QSet<QString> modes;
    for (const QsoRow& r : rows)
        modes.insert(CabrilloMode(r.mode));
    if (modes.size() != 1)
        return QStringLiteral("MIXED");
    const QString m = *modes.begin();
    if (m == QLatin1String("PH"))
        return QStringLiteral("SSB");
    if (m == QLatin1String("RY"))
        return QStringLiteral("RTTY");
    if (m == QLatin1String("DG"))
        return QStringLiteral("DIGI");
    return m;
}

} // namespace

QString CabrilloContestName(const QString& title) {
    return title.simplified().toUpper().replace(QLatin1Char(' '), QLatin1Char('-'));
}

QString CabrilloMode(const QString& mode) {
    const QString m = mode.trimmed().toUpper();
    if (m == QLatin1String("CW"))
        return QStringLiteral("CW");
    if (m == QLatin1String("SSB") || m == QLatin1String("USB") || m == QLatin1String("LSB") ||
        m == QLatin1String("AM"))
        return QStringLiteral("PH");
    if (m == QLatin1String("FM"))
        return QStringLiteral("FM");
    if (m == QLatin1String("RTTY"))
        return QStringLiteral("RY");
    return QStringLiteral("DG");
}

QString WriteCabrillo(const CabrilloHeader& header, const std::vector<QsoRow>& rows) {
    QStringList lines;
    lines << QStringLiteral("START-OF-LOG: 3.0");
    lines << QStringLiteral("CREATED-BY: %1").arg(header.createdBy);
    lines << QStringLiteral("CONTEST: %1").arg(header.contest);
    lines << QStringLiteral("CALLSIGN: %1").arg(header.callsign);
    lines << QStringLiteral("CATEGORY-BAND: %1").arg(CategoryBand(rows));
    lines << QStringLiteral("CATEGORY-MODE: %1").arg(CategoryMode(rows));
    lines << QStringLiteral("CLAIMED-SCORE: %1").arg(header.claimedScore);
    for (const QsoRow& r : rows) {
        // Padded by hand: the texts come from the log and must not be read
        // as place markers.
        const QStringList fields = {QStringLiteral("QSO:"),
                                    Frequency(r).rightJustified(5),
                                    CabrilloMode(r.mode).leftJustified(2),
                                    r.date,
                                    Time(r),
                                    header.callsign.leftJustified(13),
                                    Exchange(r.sent, r.mode),
                                    r.call.leftJustified(13),
                                    Exchange(r.received, r.mode)};
        QString line = fields.join(QLatin1Char(' '));
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
    }
    lines << QStringLiteral("END-OF-LOG:");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace qarvel
