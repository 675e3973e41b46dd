#include "TextRules.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cwctype>

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

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Decodes with the locale only to fold: each character becomes the upper
// case of its lower case, written back in the locale's encoding. ASCII
// folds as everywhere else, whatever the locale says of i and I. A byte
// that starts no character stays as it is; it cannot run into the next
// character's bytes, as every character written is whole.
std::string LocaleFolded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::mbstate_t in{};
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(Fold(c));
            ++i;
            continue;
        }
        wchar_t wide = 0;
        const std::size_t n = std::mbrtowc(&wide, text.data() + i, text.size() - i, &in);
        if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            out += static_cast<char>(c);
            in = std::mbstate_t{};
            ++i;
            continue;
        }
        const auto folded =
            static_cast<wchar_t>(std::towupper(std::towlower(static_cast<std::wint_t>(wide))));
        char bytes[MB_LEN_MAX];
        std::mbstate_t outState{};
        const std::size_t m = std::wcrtomb(bytes, folded, &outState);
        if (m == static_cast<std::size_t>(-1))
            out.append(text.substr(i, n));
        else
            out.append(bytes, m);
        i += n;
    }
    return out;
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

std::string FoldedKey(std::string_view text) {
    return IsAscii(text) ? UpperCase(text) : LocaleFolded(text);
}

bool SameText(std::string_view a, std::string_view b) {
    if (!IsAscii(a) || !IsAscii(b))
        return LocaleFolded(a) == LocaleFolded(b);
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
