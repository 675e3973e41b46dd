#pragma once

#include "contest/OffTime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qarvel {

// The operator's rate, kept as QSOs come in. The QSOs' times are kept in
// time order; a QSO arriving a little late from another position is put
// in its place by a short walk back from the end. A reading looks only at
// the last 100 QSOs and those of the last hour, so neither adding a QSO
// nor reading the figures grows with the log beyond one binary search.
class RateMeter {
public:
    struct BandCount {
        std::string band;
        int qsos = 0;
        friend bool operator==(const BandCount&, const BandCount&) = default;
    };

    // All rates in QSOs per hour; a rate that cannot be told yet (fewer
    // than two QSOs) is negative.
    struct Figures {
        int qsos = 0;
        double last10 = -1;
        double last100 = -1;
        int last60Minutes = 0; // QSOs in the 60 minutes up to now
        int thisHour = 0;      // QSOs since the current clock hour began
        std::int64_t timeOn = 0; // minutes
        std::int64_t timeOff = 0;
        int breaks = 0;
        std::vector<BandCount> lastHourByBand; // in the order the bands were first met
    };

    explicit RateMeter(int minimumBreakMinutes = OffTime::kDefaultMinimumBreak);

    // A QSO at `seconds` since the epoch (UTC) on `band`.
    void Add(std::int64_t seconds, const std::string& band);
    void Clear();
    void SetMinimumBreak(int minutes) { offTime_.SetMinimumBreak(minutes); }
    int Count() const { return static_cast<int>(qsos_.size()); }

    // The figures as they stand at `nowSeconds` (UTC).
    Figures At(std::int64_t nowSeconds) const;

    // The rate over the last `n` QSOs: the gaps between them over the time
    // they span (at least a minute), per hour.
    double RateOverLast(int n) const;

private:
    struct Qso {
        std::int64_t seconds;
        int band; // index into bands_
    };
    int BandIndex(const std::string& band);

    std::vector<Qso> qsos_; // in time order
    std::vector<std::string> bands_;
    OffTime offTime_;
};

} // namespace qarvel
