#pragma once

#include <string>

namespace zelmar {

// One counted QSO, with the texts exactly as they stood in the record.
struct TQSO {
    std::string call;
    std::string band;
    std::string mode;
};

} // namespace zelmar
