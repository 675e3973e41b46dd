#include "contest/RateMeter.h"

#include <algorithm>

namespace qarvel {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

RateMeter::RateMeter(int minimumBreakMinutes) : offTime_(minimumBreakMinutes) {}

int RateMeter::BandIndex(const std::string& band) {
    // A contest has a handful of bands: a walk is cheaper than a map.
    for (std::size_t i = 0; i < bands_.size(); ++i)
        if (bands_[i] == band)
            return static_cast<int>(i);
    bands_.push_back(band);
    return static_cast<int>(bands_.size() - 1);
}

void RateMeter::Add(std::int64_t seconds, const std::string& band) {
    const Qso qso{seconds, BandIndex(band)};
    auto at = qsos_.end();
    while (at != qsos_.begin() && std::prev(at)->seconds > seconds)
        --at;
    qsos_.insert(at, qso);
    offTime_.Add(FloorDiv(seconds, 60));
}

void RateMeter::Clear() {
    qsos_.clear();
    bands_.clear();
    offTime_.Clear();
}

double RateMeter::RateOverLast(int n) const {
    const int k = std::min(n, Count());
    if (k < 2)
        return -1;
    const std::int64_t span = qsos_.back().seconds - qsos_[qsos_.size() - k].seconds;
    return (k - 1) * 3600.0 / static_cast<double>(std::max<std::int64_t>(span, 60));
}

RateMeter::Figures RateMeter::At(std::int64_t now) const {
    Figures f;
    f.qsos = Count();
    f.last10 = RateOverLast(10);
    f.last100 = RateOverLast(100);
    f.timeOn = offTime_.TimeOn();
    f.timeOff = offTime_.TimeOff();
    f.breaks = offTime_.BreakCount();

    const auto later = [](const Qso& q, std::int64_t t) { return q.seconds < t; };
    const auto end = std::upper_bound(qsos_.begin(), qsos_.end(), now,
                                      [](std::int64_t t, const Qso& q) { return t < q.seconds; });
    const auto hourAgo = std::lower_bound(qsos_.begin(), end, now - 3600 + 1, later);
    const auto clockHour = std::lower_bound(qsos_.begin(), end, FloorDiv(now, 3600) * 3600, later);
    f.last60Minutes = static_cast<int>(end - hourAgo);
    f.thisHour = static_cast<int>(end - clockHour);

    std::vector<int> perBand(bands_.size(), 0);
    for (auto it = hourAgo; it != end; ++it)
        ++perBand[static_cast<std::size_t>(it->band)];
    for (std::size_t i = 0; i < bands_.size(); ++i)
        if (perBand[i] > 0)
            f.lastHourByBand.push_back({bands_[i], perBand[i]});
    return f;
}

} // namespace qarvel
