#include "contest/OffTimeCheck.h"

#include "contest/OffTime.h"
#include "contest/QsoClock.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace qarvel {

OffTimeCheck::OffTimeCheck(const SubmissionDetails& details)
    : minimumBreak_(details.MinimumBreak()), maximumOperating_(details.maximumOperatingMinutes) {}

std::vector<LogFinding> OffTimeCheck::Check(const std::vector<QsoRow>& rows) const {
    struct Timed {
        std::size_t index;
        qint64 minute;
    };
    std::vector<Timed> timed;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (const auto seconds = QsoClock::Seconds(rows[i]))
            timed.push_back({i, *seconds / 60 - (*seconds % 60 < 0)});
    std::stable_sort(timed.begin(), timed.end(),
                     [](const Timed& a, const Timed& b) { return a.minute < b.minute; });

    std::vector<LogFinding> out;
    OffTime off(minimumBreak_);
    std::optional<qint64> previous;
    bool exceeded = false;
    for (const Timed& t : timed) {
        const auto add = [&](const QString& text, bool information) {
            out.push_back({static_cast<int>(t.index) + 1, rows[t.index], text, information});
        };
        off.Add(t.minute);
        if (previous && t.minute - *previous - 1 >= minimumBreak_)
            add(QStringLiteral("a break of %1 minutes before this QSO, %2 to %3 (breaks count "
                               "from %4 minutes)")
                    .arg(t.minute - *previous - 1)
                    .arg(QsoClock::MinuteText(*previous + 1), QsoClock::MinuteText(t.minute - 1))
                    .arg(minimumBreak_),
                true);
        previous = t.minute;
        if (maximumOperating_ > 0 && !exceeded && off.TimeOn() > maximumOperating_) {
            exceeded = true;
            add(QStringLiteral("the time on reaches %1 here, more than the contest's maximum "
                               "operating time of %2; this QSO and the later ones exceed it")
                    .arg(QsoClock::Duration(off.TimeOn()), QsoClock::Duration(maximumOperating_)),
                false);
        }
    }
    return out;
}

} // namespace qarvel
