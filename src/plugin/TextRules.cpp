#include "TextRules.h"

namespace zelmar {

namespace {

constexpr bool IsLower(unsigned char c) {
    return c >= 'a' && c <= 'z';
}
constexpr bool IsUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}
constexpr unsigned char Fold(unsigned char c) {
    return IsLower(c) ? c - ('a' - 'A') : c;
}

} // namespace

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return std::string(text.substr(first, last - first));
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsHomePrefix(std::string_view prefix) {
    std::string needle;
    needle.reserve(prefix.size() + 2);
    needle += ':';
    needle += prefix;
    needle += ':';
    return kHomePrefixList.find(needle) != std::string_view::npos;
}

bool MatchCountyCode(std::string_view text, std::string& code) {
    if (text.size() < 2)
        return false;
    const auto a = static_cast<unsigned char>(text[text.size() - 2]);
    const auto b = static_cast<unsigned char>(text[text.size() - 1]);
    if (!IsUpper(a) || !IsUpper(b))
        return false;
    code.assign(text.substr(text.size() - 2));
    return true;
}

} // namespace zelmar
