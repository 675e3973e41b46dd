#include "rig/RigFollower.h"

#include "rig/RigBandMode.h"

namespace qarvel {

RigFollower::Change RigFollower::Follow(const RigState& state) {
    Change change;
    if (!state.HasReading()) {
        // The last band stays for logging on; the next reading counts as new.
        hertz_ = 0;
        mode_.reset();
        return change;
    }
    if (state.hertz != hertz_) {
        hertz_ = state.hertz;
        change.band = BandOfHertz(hertz_);
    }
    if (!state.mode.isEmpty()) {
        const QString mode = LogModeOfRig(state.mode);
        if (mode != mode_) {
            mode_ = mode;
            change.mode = mode;
        }
    }
    return change;
}

QString RigFollower::FrequencyFor(const QString& band) const {
    if (hertz_ <= 0 || band.isEmpty() || band != BandOfHertz(hertz_))
        return {};
    return MegahertzText(hertz_);
}

} // namespace qarvel
