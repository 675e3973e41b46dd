#include "formats/LogFileImporter.h"

#include "formats/AdifImporter.h"
#include "formats/CabrilloImporter.h"
#include "formats/CabrilloReader.h"

namespace qarvel {

LogImportReport LogFileImporter::Import(const QByteArray& data, LogBook& log,
                                        const LogBook::Progress& progress) const {
    if (LooksLikeCabrillo(data))
        return CabrilloImporter(countries_).Import(data, log, progress);
    const AdifImportReport adif = AdifImporter(countries_).Import(data, log, progress);
    LogImportReport report;
    report.format = QStringLiteral("ADIF");
    report.ok = adif.ok;
    report.imported = adif.imported;
    report.error = adif.error;
    for (const AdifProblem& p : adif.skipped)
        report.skipped << p.Describe();
    return report;
}

std::vector<QsoRow> LogFileImporter::Rows(const QByteArray& data, LogImportReport* report) const {
    if (LooksLikeCabrillo(data))
        return CabrilloImporter(countries_).Rows(data, report);
    AdifImportReport adif;
    std::vector<QsoRow> rows = AdifImporter(countries_).Rows(data, &adif);
    report->format = QStringLiteral("ADIF");
    for (const AdifProblem& p : adif.skipped)
        report->skipped << p.Describe();
    return rows;
}

void LogFileImporter::Finish(const QByteArray& data, LogBook& log, LogImportReport* report) {
    if (LooksLikeCabrillo(data))
        CabrilloImporter::KeepHeader(data, log, report);
}

} // namespace qarvel
