#include "formats/CabrilloImporter.h"

#include "formats/CabrilloReader.h"
#include "formats/ExchangeText.h"
#include "logbook/SubmissionStore.h"
#include "reference/CountryFile.h"

#include <algorithm>

namespace qarvel {

namespace {

// The stored details with what the header gives put over them.
SubmissionDetails Merged(SubmissionDetails stored, const CabrilloContents& log) {
    const SubmissionDetails& h = log.details;
    const auto take = [&](const char* tag, auto member) {
        if (log.givenTags.contains(QLatin1String(tag)))
            stored.*member = h.*member;
    };
    take("CATEGORY-OPERATOR", &SubmissionDetails::categoryOperator);
    take("CATEGORY-ASSISTED", &SubmissionDetails::categoryAssisted);
    take("CATEGORY-BAND", &SubmissionDetails::categoryBand);
    take("CATEGORY-POWER", &SubmissionDetails::categoryPower);
    take("CATEGORY-STATION", &SubmissionDetails::categoryStation);
    take("CATEGORY-TRANSMITTER", &SubmissionDetails::categoryTransmitter);
    take("OPERATORS", &SubmissionDetails::operators);
    take("NAME", &SubmissionDetails::name);
    take("ADDRESS", &SubmissionDetails::address);
    take("EMAIL", &SubmissionDetails::email);
    take("CLUB", &SubmissionDetails::club);
    take("LOCATION", &SubmissionDetails::location);
    take("SOAPBOX", &SubmissionDetails::soapbox);
    take("PERIOD-START", &SubmissionDetails::periodStart);
    take("PERIOD-END", &SubmissionDetails::periodEnd);
    return stored;
}

// What the station sent after the report, when every QSO sent the same
// (a county); a serial number changes from QSO to QSO and gives nothing.
QString CommonSentExchange(const std::vector<QsoRow>& rows) {
    QString common;
    for (const QsoRow& r : rows) {
        const QString rest = ExchangeText::Split(r.sent).rest;
        if (rest.isEmpty() || (!common.isEmpty() && rest != common))
            return {};
        common = rest;
    }
    return common;
}

} // namespace

std::vector<QsoRow> CabrilloImporter::Rows(const QByteArray& data,
                                           LogImportReport* report) const {
    report->format = QStringLiteral("Cabrillo");
    const CabrilloContents contents = ReadCabrillo(data);
    for (const CabrilloProblem& p : contents.problems)
        report->skipped << p.Describe();

    std::vector<QsoRow> rows;
    rows.reserve(contents.qsos.size());
    for (const CabrilloQso& qso : contents.qsos) {
        QsoRow row = qso.row;
        if (const auto match = countries_.Resolve(row.call.toStdString())) {
            row.dxccPrefix = QString::fromStdString(match->primaryPrefix);
            row.continent = QString::fromStdString(match->continent);
            row.mainPrefix = QString::fromStdString(match->matchedPrefix);
        }
        rows.push_back(std::move(row));
    }
    report->station = contents.callsign;
    report->sentExchange = CommonSentExchange(rows);
    return rows;
}

void CabrilloImporter::KeepHeader(const QByteArray& data, LogBook& log, LogImportReport* report) {
    const CabrilloContents contents = ReadCabrillo(data);
    if (contents.givenTags.isEmpty())
        return;
    SubmissionStore store(log.Database(), log.Table());
    QString error;
    const auto stored = store.Load(&error);
    if (!stored || !store.Save(Merged(*stored, contents), &error))
        report->warning =
            QStringLiteral("the header's categories and details were not stored: %1").arg(error);
}

LogImportReport CabrilloImporter::Import(const QByteArray& data, LogBook& log,
                                         const LogBook::Progress& progress) const {
    LogImportReport report;
    const std::vector<QsoRow> rows = Rows(data, &report);
    if (!log.AppendAll(rows, progress, &report.error))
        return report;
    report.ok = true;
    report.imported = static_cast<int>(rows.size());
    KeepHeader(data, log, &report);
    return report;
}

} // namespace qarvel
