#include "LogQuery.h"

#include <algorithm>

namespace zelmar {

namespace {

bool IsPlainPart(std::string_view part) {
    if (part.empty() || (part[0] >= '0' && part[0] <= '9'))
        return false;
    return std::all_of(part.begin(), part.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

// "..." with at least one character inside and no quote or control
// character: C0, DEL, and C1 as UTF-8 writes it (0xC2 0x80 to 0xC2 0x9F).
bool IsQuotedPart(std::string_view part) {
    if (part.size() < 3 || part.front() != '"' || part.back() != '"')
        return false;
    const std::string_view inside = part.substr(1, part.size() - 2);
    for (std::size_t i = 0; i < inside.size(); ++i) {
        const auto c = static_cast<unsigned char>(inside[i]);
        if (c == '"' || c < 0x20 || c == 0x7F)
            return false;
        if (c == 0xC2 && i + 1 < inside.size() &&
            static_cast<unsigned char>(inside[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(inside[i + 1]) >= 0x80)
            return false;
    }
    return true;
}

bool IsPart(std::string_view part) {
    return IsPlainPart(part) || IsQuotedPart(part);
}

// Where the schema part ends: the first "." outside quotes, or npos.
std::size_t SchemaDot(std::string_view name) {
    bool quoted = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '"')
            quoted = !quoted;
        else if (name[i] == '.' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

bool IsPlainTableName(std::string_view name) {
    const std::size_t dot = SchemaDot(name);
    if (dot == std::string_view::npos)
        return IsPart(name);
    return IsPart(name.substr(0, dot)) && IsPart(name.substr(dot + 1));
}

} // namespace zelmar
