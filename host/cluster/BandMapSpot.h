#pragma once

#include <QString>

namespace qarvel {

// A station on a band map: where it was heard and since when.
struct BandMapSpot {
    enum class Origin {
        Cluster, // a DX cluster spot
        Marked,  // the operator marked it: "call on this frequency"
        Worked,  // the operator's own QSO
    };
    QString call;
    double kilohertz = 0;
    QString band; // the log's band text ("14")
    qint64 seenMs = 0; // when last spotted, ms since the epoch
    Origin origin = Origin::Cluster;
    QString spotter;
    QString comment;
};

} // namespace qarvel
