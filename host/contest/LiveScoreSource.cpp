#include "contest/LiveScoreSource.h"

#include "contest/ContestSession.h"
#include "contest/ScoreLine.h"
#include "formats/CabrilloWriter.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionStore.h"
#include "reference/BandPlan.h"

#include <map>

namespace qarvel {

namespace {

// The scoreboards' mode names.
QString ScoreboardMode(const QString& logged) {
    const QString mode = logged.trimmed().toUpper();
    if (mode == QLatin1String("CW") || mode == QLatin1String("RTTY"))
        return mode;
    if (mode == QLatin1String("SSB") || mode == QLatin1String("USB") ||
        mode == QLatin1String("LSB") || mode == QLatin1String("AM") ||
        mode == QLatin1String("FM") || mode == QLatin1String("PH"))
        return QStringLiteral("PH");
    return QStringLiteral("DIG");
}

} // namespace

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
    // Only the bands the grid has rows for: the scoreboards know no others.
    QStringList gridBands;
    for (const QStringList& row : report.grid)
        if (!row.isEmpty())
            gridBands << row[0].trimmed();
    std::map<std::pair<QString, QString>, qint64> byBandMode;
    for (const LogBook::BandModeCount& c : log.CountedByBandAndMode()) {
        QString band = AdifNameOfBand(c.band);
        band.chop(1); // "20m" -> "20", as the grid names it
        if (!gridBands.contains(band))
            continue;
        byBandMode[{band, ScoreboardMode(c.mode)}] += c.qsos;
    }
    for (const auto& [key, qsos] : byBandMode)
        report.modeQsos.push_back({key.first, key.second, qsos});
    report.version = version;
    return report;
}

} // namespace qarvel
