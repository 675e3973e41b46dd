#pragma once

#include "contest/ContestSummary.h"

#include <QImage>
#include <QSize>

class QChart;

namespace qarvel {

// The summary's graphs with Qt Charts: QSOs per hour as bars stacked by
// band, and the claimed score as a line over the same hours. They render
// without a display (offscreen), for --summary.
class SummaryCharts {
public:
    // New charts; the caller owns them (a QChartView takes them over).
    static QChart* Hourly(const ContestSummary& summary);
    static QChart* Score(const ContestSummary& summary);

    static QImage Render(QChart* chart, QSize size);
    // Both graphs in one picture, the hourly bars above the score line.
    static QImage Picture(const ContestSummary& summary, QSize size = {1000, 760});
};

} // namespace qarvel
