#include "ShortText.h"

#include <algorithm>
#include <cstring>

namespace zelmar {

std::string ReadShortText(const ShortText& slot) {
    return std::string(slot.chars, slot.length);
}

void WriteShortText(ShortText& slot, std::string_view text) {
    const std::size_t n = std::min(text.size(), kShortTextCapacity);
    if (n > 0)
        std::memcpy(slot.chars, text.data(), n);
    slot.length = static_cast<std::uint8_t>(n);
}

} // namespace zelmar
