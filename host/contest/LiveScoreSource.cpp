#include "contest/LiveScoreSource.h"

#include "contest/ContestSession.h"
#include "contest/ScoreLine.h"
#include "formats/CabrilloWriter.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionStore.h"

namespace qarvel {

std::optional<ScoreReport> LiveScoreReport(const ContestSession& session, const LogBook& log,
                                           const QString& call, const QString& version) {
    if (!session.IsStarted() || call.isEmpty())
        return std::nullopt;
    const std::optional<ScoreLine> score = ScoreLine::Parse(session.ScoreLineText());
    if (!score)
        return std::nullopt;
    QString error;
    const auto details = SubmissionStore(log.Database(), log.Table()).Load(&error);
    ScoreReport report;
    report.contest = CabrilloContestName(session.Title());
    report.call = call;
    report.details = details.value_or(SubmissionDetails{});
    report.mode = CabrilloCategoryMode(log.Modes());
    report.score = score->score;
    report.grid = session.GridRows();
    report.version = version;
    return report;
}

} // namespace qarvel
