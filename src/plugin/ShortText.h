#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelmar {

// A length-prefixed 8-bit text in a 256-byte slot, as the host lays it out.
// Bytes after the text are undefined and are never read.
struct ShortText {
    std::uint8_t length;
    char chars[255];
};
static_assert(sizeof(ShortText) == 256);

inline constexpr std::size_t kShortTextCapacity = 255;

// Exactly `length` bytes, whatever follows them in the slot.
std::string ReadShortText(const ShortText& slot);

// Stores at most 255 bytes; a longer text is cut. Leaves the bytes after the
// stored text as they were.
void WriteShortText(ShortText& slot, std::string_view text);

} // namespace zelmar
