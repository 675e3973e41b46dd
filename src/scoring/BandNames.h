#pragma once

#include <array>
#include <string_view>

namespace zelmar {

// The nine band texts, numbered 1 to 9 (index 0 is unused).
inline constexpr std::array<std::string_view, 10> BandNames = {"",   "1.8", "3.5", "7",  "10",
                                                               "14", "18",  "21",  "24", "28"};

// The number 1 to 9 of the band text equal to `text`, or 0 when none is.
int BandNumber(std::string_view text);

} // namespace zelmar
