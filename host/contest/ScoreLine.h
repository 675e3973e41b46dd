#pragma once

#include <QString>
#include <optional>

namespace qarvel {

// The figures of the plug-in's score line "Score: P*(C+D)=S".
struct ScoreLine {
    qint64 points = 0;
    qint64 countyMultipliers = 0;
    qint64 dxccMultipliers = 0;
    qint64 score = 0;

    // Nothing when the text is not a score line.
    static std::optional<ScoreLine> Parse(const QString& text);
};

} // namespace qarvel
