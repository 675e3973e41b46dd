#pragma once

namespace qarvel {

// What a QSO with a call would bring on the current band and mode.
enum class CallStatus {
    Points,        // plain points
    NewMultiplier, // a county or country not yet worked on the band
    Dupe,          // worked already on this band and mode
};

} // namespace qarvel
