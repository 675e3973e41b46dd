#pragma once

#include "logbook/QsoRow.h"
#include "logbook/SubmissionDetails.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qarvel {

// The header lines of a Cabrillo log that qarvel knows.
struct CabrilloHeader {
    QString contest;  // "ZELMAR-CONTEST"
    QString callsign; // the station's own call
    qint64 claimedScore = 0;
    QString createdBy; // "qarvel 1.0.0"
    SubmissionDetails details; // every header given is written
};

// The contest name Cabrillo wants: upper case, words joined by '-'
// ("Zelmar Contest" gives ZELMAR-CONTEST).
QString CabrilloContestName(const QString& title);

// The file name a Cabrillo log is suggested under: the station's call, as
// robots like it ("YO3ZZZ.cbr", "YO3ZZZ_P.cbr" for YO3ZZZ/P), or "log.cbr"
// while the call is not known.
QString CabrilloFileName(const QString& call);

// The Cabrillo 3.0 mode of a logged mode: CW, PH (SSB, AM), FM, RY (RTTY)
// or DG (every other digital mode).
QString CabrilloMode(const QString& mode);

// The CATEGORY-MODE of a log holding `modes`: the one mode (CW, SSB, FM,
// RTTY, DIGI), else MIXED.
QString CabrilloCategoryMode(const QStringList& modes);

// The Cabrillo band of the log: the one band every QSO is on ("20M"), else
// ALL.
QString CabrilloBandOfLog(const std::vector<QsoRow>& rows);

// A Cabrillo 3.0 log: START-OF-LOG, the header with every detail given
// (CATEGORY-BAND from the QSOs unless declared, CATEGORY-MODE from the
// QSOs), one QSO line per row in time order
//   QSO: freq mo date time call-sent rst exch call-rcvd rst exch [t]
// and END-OF-LOG. The transmitter column t is written for a multi-
// transmitter category: the positions numbered from 0 in the order they
// first appear. Lines end with CR LF, as the format asks.
QString WriteCabrillo(const CabrilloHeader& header, const std::vector<QsoRow>& rows);

} // namespace qarvel
