#include "cluster/BandMapSpots.h"

#include "reference/BandPlan.h"

#include <algorithm>
#include <cmath>

namespace qarvel {

bool BandMapSpots::Add(BandMapSpot spot) {
    spot.call = spot.call.trimmed().toUpper();
    spot.band = BandFromMegahertz(spot.kilohertz / 1000.0);
    if (spot.band.isEmpty() || spot.call.isEmpty())
        return false;
    std::vector<BandMapSpot>& spots = bands_[spot.band];
    const auto old = std::find_if(spots.begin(), spots.end(),
                                  [&](const BandMapSpot& s) { return s.call == spot.call; });
    if (old != spots.end()) {
        // A QSO made stays a QSO: a later spot moves it but keeps it worked.
        if (old->origin == BandMapSpot::Origin::Worked &&
            spot.origin == BandMapSpot::Origin::Cluster &&
            std::abs(old->kilohertz - spot.kilohertz) < 0.5)
            spot.origin = BandMapSpot::Origin::Worked;
        spots.erase(old);
    }
    const auto at = std::upper_bound(
        spots.begin(), spots.end(), spot.kilohertz,
        [](double khz, const BandMapSpot& s) { return khz < s.kilohertz; });
    spots.insert(at, std::move(spot));
    return true;
}

bool BandMapSpots::Expire(qint64 nowMs) {
    bool any = false;
    for (auto it = bands_.begin(); it != bands_.end(); ++it)
        any |= std::erase_if(it.value(), [&](const BandMapSpot& s) {
                   return nowMs - s.seenMs > maxAgeMs_;
               }) > 0;
    return any;
}

const std::vector<BandMapSpot>& BandMapSpots::On(const QString& band) const {
    static const std::vector<BandMapSpot> kNone;
    const auto it = bands_.constFind(band);
    return it == bands_.constEnd() ? kNone : *it;
}

int BandMapSpots::Size() const {
    int n = 0;
    for (const auto& spots : bands_)
        n += static_cast<int>(spots.size());
    return n;
}

} // namespace qarvel
