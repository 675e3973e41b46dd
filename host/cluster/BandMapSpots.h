#pragma once

#include "cluster/BandMapSpot.h"

#include <QHash>
#include <vector>

namespace qarvel {

// The spots of every band, each band's sorted by frequency. A call spotted
// again on its band moves to the new frequency (one entry per call and
// band, so skimmers' repeats do not pile up); spots older than the set age
// are dropped.
class BandMapSpots {
public:
    static constexpr qint64 kDefaultMaxAgeMs = 30 * 60 * 1000;

    void SetMaxAgeMs(qint64 ms) { maxAgeMs_ = ms; }
    qint64 MaxAgeMs() const { return maxAgeMs_; }

    // False for a spot outside the bands the log knows.
    bool Add(BandMapSpot spot);
    // Drops what is older than the set age at `nowMs`; true when any went.
    bool Expire(qint64 nowMs);
    void Clear() { bands_.clear(); }

    // The band's spots, lowest frequency first.
    const std::vector<BandMapSpot>& On(const QString& band) const;
    int Size() const;

private:
    qint64 maxAgeMs_ = kDefaultMaxAgeMs;
    QHash<QString, std::vector<BandMapSpot>> bands_;
};

} // namespace qarvel
