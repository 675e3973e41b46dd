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

private:
    const CountryFile& countries_;
};

} // namespace qarvel
