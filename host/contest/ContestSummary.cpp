#include "contest/ContestSummary.h"

#include "contest/ContestSession.h"
#include "contest/QsoClock.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionStore.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <map>

namespace qarvel {

namespace {

// Band texts are MHz ("1.8", "14"): lowest first, anything else after them.
bool LowerBand(const QString& a, const QString& b) {
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    if (okA != okB)
        return okA;
    return okA ? x < y : a < b;
}

} // namespace

QString ContestSummary::HourText(qint64 start) {
    return QDateTime::fromSecsSinceEpoch(start, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd HH"));
}

ContestSummary ContestSummary::Build(const std::vector<QsoRow>& rows,
                                     const ScoreTimeline& timeline, int minimumBreakMinutes) {
    ContestSummary s;
    s.qsos = static_cast<int>(rows.size());
    s.minimumBreak = std::max(1, minimumBreakMinutes);
    OffTime off(s.minimumBreak);
    std::map<qint64, std::map<QString, int>> perHour;
    for (const QsoRow& r : rows) {
        if (!s.bands.contains(r.band))
            s.bands << r.band;
        const auto seconds = QsoClock::Seconds(r);
        if (!seconds) {
            ++s.undated;
            continue;
        }
        off.Add(*seconds / 60 - (*seconds % 60 < 0));
        const qint64 hour = *seconds - ((*seconds % 3600) + 3600) % 3600;
        ++perHour[hour][r.band];
    }
    std::sort(s.bands.begin(), s.bands.end(), LowerBand);

    const auto addHour = [&s](qint64 start, const std::map<QString, int>& counts) {
        Hour h;
        h.start = start;
        for (const QString& band : s.bands) {
            const auto it = counts.find(band);
            h.qsos.push_back(it == counts.end() ? 0 : it->second);
            h.total += h.qsos.back();
        }
        s.hours.push_back(std::move(h));
    };
    if (!perHour.empty()) {
        const qint64 first = perHour.begin()->first, last = perHour.rbegin()->first;
        if ((last - first) / 3600 < kMaxContinuousHours) {
            static const std::map<QString, int> none;
            for (qint64 h = first; h <= last; h += 3600) {
                const auto it = perHour.find(h);
                addHour(h, it == perHour.end() ? none : it->second);
            }
        } else {
            for (const auto& [start, counts] : perHour)
                addHour(start, counts);
        }
    }
    s.breaks = off.Breaks();
    s.timeOn = off.TimeOn();
    s.timeOff = off.TimeOff();
    s.score = timeline.Build(rows);
    return s;
}

std::optional<ContestSummary> ContestSummary::FromLog(LogBook& log, const ContestSession& session,
                                                     const StationSettings& station,
                                                     const QString& pluginsFolder,
                                                     QString* error) {
    const auto rows = log.ReadAll(error);
    if (!rows)
        return std::nullopt;
    const auto details = SubmissionStore(log.Database(), log.Table()).Load(error);
    if (!details)
        return std::nullopt;
    ContestSummary s = Build(*rows, ScoreTimeline::FromPluginsFolder(station, pluginsFolder),
                             details->MinimumBreak());
    if (session.IsStarted()) {
        s.grid = session.GridRows();
        s.scoreLine = session.ScoreLineText();
    }
    return s;
}

} // namespace qarvel
