#include "BandNames.h"

namespace zelmar {

int BandNumber(std::string_view text) {
    for (int i = 1; i <= 9; ++i)
        if (BandNames[static_cast<std::size_t>(i)] == text)
            return i;
    return 0;
}

} // namespace zelmar
