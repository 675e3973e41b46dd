#pragma once

#include "app/StationSettings.h"
#include "logbook/QsoRow.h"

#include <QString>
#include <string>
#include <vector>

namespace qarvel {

// The claimed score after each QSO, as the contest's rules count it (the
// same rules the contest module runs), QSO by QSO in time order.
class ScoreTimeline {
public:
    struct Point {
        qint64 seconds = 0; // when the QSO was logged, since the epoch (UTC)
        qint64 score = 0;
    };

    ScoreTimeline(const StationSettings& station, std::vector<std::string> countyTable);
    // The county table romanian.dom beside the module; a missing one counts
    // no county multiplier.
    static ScoreTimeline FromPluginsFolder(const StationSettings& station,
                                           const QString& pluginsFolder);

    // `rows` in time order; a QSO whose time cannot be read is counted but
    // gets no point of its own.
    std::vector<Point> Build(const std::vector<QsoRow>& rows) const;

private:
    StationSettings station_;
    std::vector<std::string> countyTable_;
};

} // namespace qarvel
