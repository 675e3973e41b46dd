#pragma once

#include <cstdint>
#include <string>

namespace zelmar {

// The figures of one band text, as first met in a record.
struct TStatistic {
    std::string band;
    std::int32_t QSOs = 0;
    std::int32_t points = 0;
    std::int32_t countyMultipliers = 0;
    std::int32_t DXCCMultipliers = 0;
};

} // namespace zelmar
