#pragma once

#include "formats/LogImportReport.h"
#include "logbook/LogBook.h"

#include <QByteArray>

namespace qarvel {

class CountryFile;

// File > Import and --import: a Cabrillo log, known by its START-OF-LOG:
// line, or else an ADIF file, into the log.
class LogFileImporter {
public:
    explicit LogFileImporter(const CountryFile& countries) : countries_(countries) {}

    LogImportReport Import(const QByteArray& data, LogBook& log,
                           const LogBook::Progress& progress = {}) const;
    // The QSOs of either kind of file, not written (a shared log's server
    // takes them); the format and what was skipped in `report`.
    std::vector<QsoRow> Rows(const QByteArray& data, LogImportReport* report) const;
    // Once the rows are in `log`: what a Cabrillo header adds to it.
    static void Finish(const QByteArray& data, LogBook& log, LogImportReport* report);

private:
    const CountryFile& countries_;
};

} // namespace qarvel
