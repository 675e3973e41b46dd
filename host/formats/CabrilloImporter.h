#pragma once

#include "formats/LogImportReport.h"
#include "logbook/LogBook.h"

#include <QByteArray>

namespace qarvel {

class CountryFile;

// Brings a Cabrillo log into qarvel's log, so that a log made with any
// other logger can be checked and scored here. Every QSO line becomes one
// row, its country resolved from the call with the country file as for a
// typed QSO; the categories, the other details and the contest period of
// the header join the log's submission details (a tag the header gives
// replaces the stored one, the others stay).
class CabrilloImporter {
public:
    explicit CabrilloImporter(const CountryFile& countries) : countries_(countries) {}

    // Skips (and reports) every malformed line and writes the QSOs in one
    // transaction: when writing fails or `progress` stops it, the log is
    // left as it was.
    LogImportReport Import(const QByteArray& data, LogBook& log,
                           const LogBook::Progress& progress = {}) const;

    // The QSOs of `data` without writing them (a shared log's server takes
    // them), the malformed lines and the header's station in `report`.
    std::vector<QsoRow> Rows(const QByteArray& data, LogImportReport* report) const;
    // Once the QSOs are in: the header's details join the log's submission
    // details; what could not be stored is said in `report`'s warning.
    static void KeepHeader(const QByteArray& data, LogBook& log, LogImportReport* report);

private:
    const CountryFile& countries_;
};

} // namespace qarvel
