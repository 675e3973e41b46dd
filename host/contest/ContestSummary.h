#pragma once

#include "contest/OffTime.h"
#include "contest/ScoreTimeline.h"
#include "logbook/QsoRow.h"

#include <QString>
#include <optional>
#include <QStringList>
#include <vector>

namespace qarvel {

class ContestSession;
class LogBook;
struct StationSettings;

// The picture of a contest once it is over: QSOs per clock hour and band,
// the claimed score as it grew, the breaks, and the statistics window's
// figures per band.
struct ContestSummary {
    struct Hour {
        qint64 start = 0;      // seconds since the epoch (UTC), on the hour
        std::vector<int> qsos; // per band, in the order of `bands`
        int total = 0;
    };

    QStringList bands;       // the log's band texts, lowest band first
    std::vector<Hour> hours; // from the first QSO's hour to the last's
    std::vector<ScoreTimeline::Point> score;
    int minimumBreak = OffTime::kDefaultMinimumBreak;
    std::vector<OffTimeBreak> breaks;
    qint64 timeOn = 0, timeOff = 0; // minutes
    int qsos = 0;
    int undated = 0; // QSOs whose date or time cannot be read: in no hour
    // The statistics window's grid (a heading row, the bands, "Total") and
    // its score line; empty when the contest module gave none.
    std::vector<QStringList> grid;
    QString scoreLine;

    // Hours are listed without a gap, empty ones too, unless the log spans
    // more than this many hours: then only hours with QSOs.
    static constexpr qint64 kMaxContinuousHours = 24 * 14;

    // `rows` in time order (LogBook::ReadAll).
    static ContestSummary Build(const std::vector<QsoRow>& rows, const ScoreTimeline& timeline,
                                int minimumBreakMinutes);

    // The summary of the open log: its QSOs, the contest's minimum break
    // from the submission details, the score over time by the rules with
    // the county table in `pluginsFolder`, and the grid and score line of
    // the started `session` (none when it is not started). Nothing, with
    // the reason, when the log cannot be read.
    static std::optional<ContestSummary> FromLog(LogBook& log, const ContestSession& session,
                                                 const StationSettings& station,
                                                 const QString& pluginsFolder, QString* error);

    // "2024-03-09 12" for an hour's start.
    static QString HourText(qint64 start);
};

} // namespace qarvel
