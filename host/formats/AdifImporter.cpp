#include "formats/AdifImporter.h"

#include "reference/BandPlan.h"
#include "reference/CallSignText.h"
#include "reference/CountryFile.h"

#include <QDate>
#include <QTime>
#include <algorithm>

namespace qarvel {

namespace {

QString Joined(const QString& a, const QString& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + QLatin1Char(' ') + b;
}

} // namespace

std::optional<QsoRow> AdifImporter::ToRow(const AdifRecord& record, QString* reason) const {
    auto fail = [&](const QString& why) -> std::optional<QsoRow> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };

    QsoRow row;
    row.call = record.Field(QStringLiteral("CALL")).toUpper();
    if (row.call.isEmpty())
        return fail(QStringLiteral("no CALL"));
    if (!LooksLikeCallSign(row.call))
        return fail(QStringLiteral("CALL %1 is not a call sign").arg(row.call));

    const QString adifBand = record.Field(QStringLiteral("BAND"));
    const QString freq = record.Field(QStringLiteral("FREQ"));
    if (!adifBand.isEmpty()) {
        row.band = BandFromAdifName(adifBand);
        if (row.band.isEmpty())
            return fail(
                QStringLiteral("BAND %1 is not one of the HF bands 160m to 10m").arg(adifBand));
    }
    if (!freq.isEmpty()) {
        bool ok = false;
        const double mhz = freq.toDouble(&ok);
        if (!ok || mhz <= 0)
            return fail(QStringLiteral("FREQ %1 is not a frequency in MHz").arg(freq));
        const QString fromFreq = BandFromMegahertz(mhz);
        if (row.band.isEmpty()) {
            if (fromFreq.isEmpty())
                return fail(
                    QStringLiteral("FREQ %1 is outside the HF bands 160m to 10m").arg(freq));
            row.band = fromFreq;
        } else if (fromFreq != row.band) {
            return fail(QStringLiteral("FREQ %1 does not lie in BAND %2").arg(freq, adifBand));
        }
        row.frequency = freq;
    }
    if (row.band.isEmpty())
        return fail(QStringLiteral("no BAND or FREQ"));

    row.mode = record.Field(QStringLiteral("MODE")).toUpper();
    if (row.mode.isEmpty())
        return fail(QStringLiteral("no MODE"));

    const QString dateText = record.Field(QStringLiteral("QSO_DATE"));
    const QDate date = QDate::fromString(dateText, QStringLiteral("yyyyMMdd"));
    if (dateText.size() != 8 || !date.isValid())
        return fail(dateText.isEmpty()
                        ? QStringLiteral("no QSO_DATE")
                        : QStringLiteral("QSO_DATE %1 is not a date (YYYYMMDD)").arg(dateText));
    row.date = date.toString(QStringLiteral("yyyy-MM-dd"));

    const QString timeText = record.Field(QStringLiteral("TIME_ON"));
    QTime time;
    if (timeText.size() == 4)
        time = QTime::fromString(timeText, QStringLiteral("HHmm"));
    else if (timeText.size() == 6)
        time = QTime::fromString(timeText, QStringLiteral("HHmmss"));
    if (!time.isValid())
        return fail(
            timeText.isEmpty()
                ? QStringLiteral("no TIME_ON")
                : QStringLiteral("TIME_ON %1 is not a time (HHMM or HHMMSS)").arg(timeText));
    row.time = time.toString(QStringLiteral("HH:mm:ss"));

    // Serial-number contests write SRX/STX instead of the string fields.
    QString received = record.Field(QStringLiteral("SRX_STRING"));
    if (received.isEmpty())
        received = record.Field(QStringLiteral("SRX"));
    QString sent = record.Field(QStringLiteral("STX_STRING"));
    if (sent.isEmpty())
        sent = record.Field(QStringLiteral("STX"));
    row.received = Joined(record.Field(QStringLiteral("RST_RCVD")), received).toUpper();
    row.sent = Joined(record.Field(QStringLiteral("RST_SENT")), sent).toUpper();

    if (const auto match = countries_.Resolve(row.call.toStdString())) {
        row.dxccPrefix = QString::fromStdString(match->primaryPrefix);
        row.continent = QString::fromStdString(match->continent);
        row.mainPrefix = QString::fromStdString(match->matchedPrefix);
    }
    return row;
}

AdifImportReport AdifImporter::Import(const QByteArray& data, LogBook& log,
                                      const LogBook::Progress& progress) const {
    AdifImportReport report;
    const std::vector<QsoRow> rows = Rows(data, &report);
    if (!log.AppendAll(rows, progress, &report.error))
        return report;
    report.ok = true;
    report.imported = static_cast<int>(rows.size());
    return report;
}

std::vector<QsoRow> AdifImporter::Rows(const QByteArray& data, AdifImportReport* out) const {
    AdifImportReport& report = *out;
    AdifContents contents = ReadAdif(data);
    report.skipped = std::move(contents.problems);

    std::vector<QsoRow> rows;
    rows.reserve(contents.records.size());
    for (const AdifRecord& record : contents.records) {
        QString reason;
        if (auto row = ToRow(record, &reason))
            rows.push_back(std::move(*row));
        else
            report.skipped.push_back(AdifProblem{record.position, reason});
    }
    std::sort(report.skipped.begin(), report.skipped.end(),
              [](const AdifProblem& a, const AdifProblem& b) {
                  return a.position.record < b.position.record;
              });
    return rows;
}

} // namespace qarvel
