#pragma once

#include "rig/RigState.h"

#include <QString>
#include <optional>

namespace qarvel {

// What the entry line takes from the rig. The band is handed on whenever
// the rig's frequency changes, the mode whenever the rig's mode does, and
// both again on a new connection: a band or mode the operator picks by
// hand holds while the radio stays where it is (a QSO logged outside the
// nine bands, a digital mode the rig calls USB), and a band picked by
// mistake is put right by the next turn of the dial.
class RigFollower {
public:
    struct Change {
        std::optional<QString> band; // empty text: out of band
        std::optional<QString> mode; // the log's name ("SSB" for USB)
    };

    Change Follow(const RigState& state);
    // The rig's frequency as the log keeps it, for a QSO on `band`: empty
    // without a current reading, or when `band` is not the rig's (picked by
    // hand): a frequency outside the logged band would contradict it.
    QString FrequencyFor(const QString& band) const;

private:
    qint64 hertz_ = 0;
    std::optional<QString> mode_;
};

} // namespace qarvel
