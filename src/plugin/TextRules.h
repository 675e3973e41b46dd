#pragma once

#include <string>
#include <string_view>

// The text rules every contest rule relies on. Texts are 8-bit bytes as the
// host sends them, in the encoding of the user's locale.
namespace zelmar {

// Changes only the letters a to z.
std::string UpperCase(std::string_view text);

// Removes leading and trailing bytes with codes 0 to 32.
std::string Trim(std::string_view text);

// Equality ignoring case, as the user's locale (the C library's character
// locale) has it: the ASCII letters fold, and so do the letters of the
// locale's encoding; bytes that are no character of it compare exactly.
bool SameText(std::string_view a, std::string_view b);

// A key under which texts that are SameText are equal.
std::string FoldedKey(std::string_view text);

// The home-country DXCC prefixes, colon separated.
inline constexpr std::string_view kHomePrefixList = ":YO:";

// True when ":" + prefix + ":" occurs in the home prefix list.
bool IsHomePrefix(std::string_view prefix);

// The "[A-Z]{2}$" match: true when the last two bytes are both A to Z, with
// those two as `code`.
bool MatchCountyCode(std::string_view text, std::string& code);

} // namespace zelmar
