#pragma once

#include <cstdint>
#include <set>
#include <vector>

namespace qarvel {

// One break as log checkers count it: whole clock minutes without a QSO,
// from the minute after a QSO's minute up to the minute before the next.
struct OffTimeBreak {
    std::int64_t firstMinute = 0; // minutes since 1970-01-01 00:00 UTC
    std::int64_t minutes = 0;

    friend bool operator==(const OffTimeBreak&, const OffTimeBreak&) = default;
};

// Time on and off of a log, kept as QSOs come in: a QSO logged at 1359 and
// the next at 1500 leave 60 minutes without a QSO, 1359 and 1459 leave 59.
// A gap counts as off time only when it lasts at least the contest's
// minimum break. Time on runs from the first QSO's minute to the last QSO's
// minute, both included, less the off time.
//
// Adding a QSO costs a look-up in the set of minutes with a QSO (log n),
// also when it arrives out of time order.
class OffTime {
public:
    static constexpr int kDefaultMinimumBreak = 30;

    explicit OffTime(int minimumBreakMinutes = kDefaultMinimumBreak);

    // A QSO in this minute (minutes since the epoch, UTC).
    void Add(std::int64_t minute);
    void Clear();
    // Counts the gaps again with another minimum (at least 1 minute).
    void SetMinimumBreak(int minutes);
    int MinimumBreak() const { return minimumBreak_; }

    bool Empty() const { return minutes_.empty(); }
    std::int64_t TimeOn() const;
    std::int64_t TimeOff() const { return off_; }
    int BreakCount() const { return breaks_; }
    // Every break that counts, in time order.
    std::vector<OffTimeBreak> Breaks() const;

private:
    // Minutes without a QSO between two minutes that have one.
    std::int64_t Gap(std::int64_t before, std::int64_t after) const { return after - before - 1; }
    void Count(std::int64_t before, std::int64_t after, int sign);

    int minimumBreak_;
    std::set<std::int64_t> minutes_;
    std::int64_t off_ = 0;
    int breaks_ = 0;
};

} // namespace qarvel
