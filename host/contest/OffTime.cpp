#include "contest/OffTime.h"

#include <algorithm>
#include <iterator>

namespace qarvel {

OffTime::OffTime(int minimumBreakMinutes) : minimumBreak_(std::max(1, minimumBreakMinutes)) {}

void OffTime::Count(std::int64_t before, std::int64_t after, int sign) {
    const std::int64_t gap = Gap(before, after);
    if (gap >= minimumBreak_) {
        off_ += sign * gap;
        breaks_ += sign;
    }
}

void OffTime::Add(std::int64_t minute) {
    const auto [at, inserted] = minutes_.insert(minute);
    if (!inserted)
        return;
    const bool hasBefore = at != minutes_.begin();
    const auto next = std::next(at);
    const bool hasAfter = next != minutes_.end();
    const std::int64_t before = hasBefore ? *std::prev(at) : 0;
    // A QSO inside a gap splits it: the gap as it was no longer counts.
    if (hasBefore && hasAfter)
        Count(before, *next, -1);
    if (hasBefore)
        Count(before, minute, +1);
    if (hasAfter)
        Count(minute, *next, +1);
}

void OffTime::Clear() {
    minutes_.clear();
    off_ = 0;
    breaks_ = 0;
}

void OffTime::SetMinimumBreak(int minutes) {
    minimumBreak_ = std::max(1, minutes);
    off_ = 0;
    breaks_ = 0;
    for (auto it = minutes_.begin(); it != minutes_.end() && std::next(it) != minutes_.end(); ++it)
        Count(*it, *std::next(it), +1);
}

std::int64_t OffTime::TimeOn() const {
    if (minutes_.empty())
        return 0;
    return *minutes_.rbegin() - *minutes_.begin() + 1 - off_;
}

std::vector<OffTimeBreak> OffTime::Breaks() const {
    std::vector<OffTimeBreak> out;
    for (auto it = minutes_.begin(); it != minutes_.end() && std::next(it) != minutes_.end(); ++it) {
        const std::int64_t gap = Gap(*it, *std::next(it));
        if (gap >= minimumBreak_)
            out.push_back({*it + 1, gap});
    }
    return out;
}

} // namespace qarvel
