#pragma once

#include <QString>
#include <QStringList>

namespace qarvel {

// What an import of a log file did, whatever its format: the QSOs written,
// every record or line skipped with where it stands and why, and the error
// that stopped it (nothing written then).
struct LogImportReport {
    QString format; // "ADIF" or "Cabrillo"
    bool ok = false;
    int imported = 0;
    QStringList skipped; // "record 10 (line 12): ..." or "line 17: ..."
    QString error;
    // The station a Cabrillo header names (CALLSIGN) and what it sent after
    // the report when every QSO says the same (a county); empty otherwise.
    QString station;
    QString sentExchange;
    // Said besides, when the QSOs are in but the header's details are not.
    QString warning;
};

} // namespace qarvel
