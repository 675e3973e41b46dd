#pragma once

#include "logbook/QsoRow.h"

#include <QString>
#include <vector>

namespace qarvel {

// The header lines of a Cabrillo log that qarvel knows.
struct CabrilloHeader {
    QString contest;  // "ZELMAR-CONTEST"
    QString callsign; // the station's own call
    qint64 claimedScore = 0;
    QString createdBy; // "qarvel 1.0.0"
};

// The contest name Cabrillo wants: upper case, words joined by '-'
// ("Zelmar Contest" gives ZELMAR-CONTEST).
QString CabrilloContestName(const QString& title);

// The Cabrillo 3.0 mode of a logged mode: CW, PH (SSB, AM), FM, RY (RTTY)
// or DG (every other digital mode).
QString CabrilloMode(const QString& mode);

// A Cabrillo 3.0 log: START-OF-LOG, the header, CATEGORY-BAND and
// CATEGORY-MODE taken from the QSOs, one QSO line per row
//   QSO: freq mo date time call-sent rst exch call-rcvd rst exch
// and END-OF-LOG. Lines end with CR LF, as the format asks.
QString WriteCabrillo(const CabrilloHeader& header, const std::vector<QsoRow>& rows);

} // namespace qarvel
