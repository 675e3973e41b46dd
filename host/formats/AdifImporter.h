#pragma once

#include "formats/AdifReader.h"
#include "logbook/LogBook.h"
#include "logbook/QsoRow.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace qarvel {

class CountryFile;

// What an import did: the QSOs written, every record skipped with its
// position and reason, and the error that stopped it (nothing written then).
struct AdifImportReport {
    bool ok = false;
    int imported = 0;
    std::vector<AdifProblem> skipped;
    QString error;
};

// Brings the QSOs of an ADIF file into the log. Each record becomes one row:
// CALL, the band from BAND or else from FREQ (MHz), MODE, QSO_DATE, TIME_ON,
// the report sent (RST_SENT and STX_STRING) and the exchange received
// (RST_RCVD and SRX_STRING, joined by a blank), the country resolved from
// the call with the country file.
class AdifImporter {
public:
    explicit AdifImporter(const CountryFile& countries) : countries_(countries) {}

    // The row for one record, or nothing with the reason in `reason`.
    std::optional<QsoRow> ToRow(const AdifRecord& record, QString* reason) const;

    // Reads `data`, skips (and reports) every malformed record, and writes
    // the others in one transaction: when writing fails or `progress` stops
    // it, the log is left as it was.
    AdifImportReport Import(const QByteArray& data, LogBook& log,
                            const LogBook::Progress& progress = {}) const;
    // Reads `data` into rows, the malformed records listed in `report`.
    std::vector<QsoRow> Rows(const QByteArray& data, AdifImportReport* report) const;

private:
    const CountryFile& countries_;
};

} // namespace qarvel
