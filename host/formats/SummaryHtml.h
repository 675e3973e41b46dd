#pragma once

#include "contest/ContestSummary.h"

#include <QImage>
#include <QString>

namespace qarvel {

// The contest's summary as one HTML page: the score, time on and off, the
// QSOs per hour and band as a table (id "hourly"), the two graphs, the
// statistics window's figures per band and the breaks.
class SummaryHtml {
public:
    // `hourlyImage` and `scoreImage` are the graphs' src attributes: a file
    // or resource name, or a data: URL (DataUrl) for a page that stands
    // alone.
    static QString Write(const ContestSummary& summary, const QString& title,
                         const QString& hourlyImage, const QString& scoreImage);
    static QString DataUrl(const QImage& png);
};

} // namespace qarvel
