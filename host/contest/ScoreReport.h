#pragma once

#include "logbook/SubmissionDetails.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace qarvel {

// The live score as the online scoreboards take it (<dynamicresults>),
// with the per-band figures of the statistics window: QSOs, points, and
// county and DXCC multipliers as separate kinds, by band and in total.
struct ScoreReport {
    QString contest; // the Cabrillo contest name
    QString call;
    SubmissionDetails details;
    QString mode; // CW, SSB, MIXED, ... of the log so far
    qint64 score = 0;
    // The statistics window's grid as ContestSession::GridRows gives it:
    // a heading row, one row per band ("160" ... "10"), then "Total".
    std::vector<QStringList> grid;
    // QSOs by band (as the grid names it, "20") and scoreboard mode (CW, PH,
    // RTTY, DIG); the statistics window has its points and multipliers for
    // all modes together only.
    struct ModeQsos {
        QString band;
        QString mode;
        qint64 qsos = 0;
    };
    std::vector<ModeQsos> modeQsos;
    QString version;

    // The XML document. `at` gives the timestamp (UTC).
    QByteArray Xml(const QDateTime& at) const;
    // What changes when the score does: the document without its
    // timestamp.
    QByteArray Figures() const;
};

} // namespace qarvel
