#include "formats/CabrilloWriter.h"

#include "reference/BandPlan.h"
#include "formats/ExchangeText.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <tuple>

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

} // namespace

QString CabrilloBandOfLog(const std::vector<QsoRow>& rows) {
    QSet<QString> bands;
    for (const QsoRow& r : rows)
        bands.insert(r.band);
    if (bands.size() != 1)
        return QStringLiteral("ALL");
    return AdifNameOfBand(*bands.begin()).toUpper();
}

namespace {

QString CategoryMode(const std::vector<QsoRow>& rows) {
    QStringList modes;
    for (const QsoRow& r : rows)
        modes << r.mode;
    return CabrilloCategoryMode(modes);
}

} // namespace

QString CabrilloCategoryMode(const QStringList& modes) {
    QSet<QString> cabrillo;
    for (const QString& mode : modes)
        cabrillo.insert(CabrilloMode(mode));
    if (cabrillo.size() != 1)
        return QStringLiteral("MIXED");
    const QString m = *cabrillo.begin();
    if (m == QLatin1String("PH"))
        return QStringLiteral("SSB");
    if (m == QLatin1String("RY"))
        return QStringLiteral("RTTY");
    if (m == QLatin1String("DG"))
        return QStringLiteral("DIGI");
    return m;
}

QString CabrilloContestName(const QString& title) {
    return title.simplified().toUpper().replace(QLatin1Char(' '), QLatin1Char('-'));
}

QString CabrilloFileName(const QString& call) {
    QString name = call.trimmed().toUpper();
    // Only what is safe in a file name on any system the file may go to.
    for (QChar& c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            c = QLatin1Char('_');
    return (name.isEmpty() ? QStringLiteral("log") : name) + QStringLiteral(".cbr");
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

QString WriteCabrillo(const CabrilloHeader& header, const std::vector<QsoRow>& unsorted) {
    // Stable: QSOs of the same minute keep the order they were logged in.
    std::vector<QsoRow> rows = unsorted;
    std::stable_sort(rows.begin(), rows.end(), [](const QsoRow& a, const QsoRow& b) {
        return std::tie(a.date, a.time) < std::tie(b.date, b.time);
    });
    const SubmissionDetails& d = header.details;
    QStringList lines;
    const auto tag = [&lines](const char* name, const QString& value) {
        if (!value.isEmpty())
            lines << QLatin1String(name) + QStringLiteral(": ") + value;
    };
    lines << QStringLiteral("START-OF-LOG: 3.0");
    tag("CREATED-BY", header.createdBy);
    tag("CONTEST", header.contest);
    tag("CALLSIGN", header.callsign);
    tag("CATEGORY-OPERATOR", d.categoryOperator);
    tag("CATEGORY-ASSISTED", d.categoryAssisted);
    tag("CATEGORY-BAND", d.categoryBand.isEmpty() ? CabrilloBandOfLog(rows) : d.categoryBand);
    tag("CATEGORY-MODE", CategoryMode(rows));
    tag("CATEGORY-POWER", d.categoryPower);
    tag("CATEGORY-STATION", d.categoryStation);
    tag("CATEGORY-TRANSMITTER", d.categoryTransmitter);
    lines << QStringLiteral("CLAIMED-SCORE: %1").arg(header.claimedScore);
    tag("OPERATORS", d.operators);
    tag("NAME", d.name);
    for (const QString& line : d.address)
        tag("ADDRESS", line);
    tag("EMAIL", d.email);
    tag("CLUB", d.club);
    tag("LOCATION", d.location);
    for (const QString& line : d.soapbox)
        tag("SOAPBOX", line);
    // Cabrillo has no tag for the contest period; robots pass X- tags over,
    // and qarvel's own import takes the period back from them.
    if (d.periodStart.isValid())
        tag("X-PERIOD-START", SubmissionDetails::FormatTime(d.periodStart));
    if (d.periodEnd.isValid())
        tag("X-PERIOD-END", SubmissionDetails::FormatTime(d.periodEnd));
    QStringList positions;
    for (const QsoRow& r : rows) {
        // Padded by hand: the texts come from the log and must not be read
        // as place markers.
        QStringList fields = {QStringLiteral("QSO:"),
                              Frequency(r).rightJustified(5),
                              CabrilloMode(r.mode).leftJustified(2),
                              r.date,
                              Time(r),
                              header.callsign.leftJustified(13),
                              Exchange(r.sent, r.mode),
                              r.call.leftJustified(13),
                              Exchange(r.received, r.mode)};
        if (d.MultiTransmitter()) {
            if (!positions.contains(r.position))
                positions << r.position;
            fields << QString::number(positions.indexOf(r.position));
        }
        QString line = fields.join(QLatin1Char(' '));
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
    }
    lines << QStringLiteral("END-OF-LOG:");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace qarvel
