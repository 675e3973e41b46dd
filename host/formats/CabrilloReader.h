#pragma once

#include "logbook/QsoRow.h"
#include "logbook/SubmissionDetails.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <vector>

namespace qarvel {

// A line of a Cabrillo log that was not taken, and why.
struct CabrilloProblem {
    int line = 0; // 1 for the file's first line
    QString reason;
    QString Describe() const;
};

// A QSO line read into the log's row, the country not resolved yet.
struct CabrilloQso {
    int line = 0;
    QsoRow row;
    QString sentCall; // the call the line says was sent
};

// What a Cabrillo 3.0 log holds, as far as qarvel keeps it.
struct CabrilloContents {
    QString callsign; // CALLSIGN:, upper case; empty when not given
    QString contest;  // CONTEST:
    // The categories, the operators, name, address, e-mail, club,
    // location, soapbox and the contest period that the header gives;
    // `givenTags` names the tags it gave (ADDRESS and SOAPBOX once).
    SubmissionDetails details;
    QSet<QString> givenTags;
    std::vector<CabrilloQso> qsos;
    std::vector<CabrilloProblem> problems;
};

// Whether `data` is a Cabrillo log: its first line that is not blank is
// START-OF-LOG:.
bool LooksLikeCabrillo(const QByteArray& data);

// Reads a Cabrillo log: the header up to the first QSO line, then
//   QSO: freq mo date time call-sent rst exch call-rcvd rst exch [t]
// with the frequency in kHz (the band follows from it), the mode CW, PH
// (logged as SSB), FM, RY (RTTY) or DG (DIGI), the date yyyy-mm-dd and the
// time hhmm UTC. A QSO line or a header value that cannot be read is
// reported with its line number and left out; the other lines are read as
// usual. Header tags qarvel does not keep (CLAIMED-SCORE, CREATED-BY, X-...)
// are passed over.
CabrilloContents ReadCabrillo(const QByteArray& data);

} // namespace qarvel
