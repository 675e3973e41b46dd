#pragma once

#include "contest/ScoreReport.h"

#include <optional>

namespace qarvel {

class ContestSession;
class LogBook;

// The live score report of the running contest: the statistics window's
// figures and score, the details stored with the log, the log's modes.
// Nothing while the statistics window shows no score.
std::optional<ScoreReport> LiveScoreReport(const ContestSession& session, const LogBook& log,
                                           const QString& call, const QString& version);

} // namespace qarvel
