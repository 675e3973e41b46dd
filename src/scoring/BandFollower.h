#pragma once

#include <cstdint>
#include <functional>

namespace zelmar {

// The window that follows the band of each recorded QSO (the multipliers
// window, when one is open).
class TBandFollower {
public:
    virtual ~TBandFollower() = default;
    virtual void SelectBand(std::int32_t n) = 0;
};

// Asked at the moment a band is to be followed, so that a window closed in
// between is never reached. Returns nullptr when no window is open.
using TBandFollowerSource = std::function<TBandFollower*()>;

} // namespace zelmar
