#pragma once

#include "logbook/QsoRow.h"

#include <QDateTime>
#include <vector>

namespace qarvel {

// A contest log to show qarvel with: `count` QSOs of the realistic mix
// (MASTER.SCP calls, home stations sending their county, the six contest
// bands, CW and SSB), spread over a 24-hour contest from `start`. The same
// seed gives the same log.
std::vector<QsoRow> MakeDemoLog(std::size_t count, const QDateTime& start, unsigned seed = 1);

} // namespace qarvel
