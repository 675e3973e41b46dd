#include "LogQuery.h"

#include <algorithm>

namespace zelmar {

bool IsPlainTableName(std::string_view name) {
    auto isPart = [](std::string_view part) {
        if (part.empty() || (part[0] >= '0' && part[0] <= '9'))
            return false;
        return std::all_of(part.begin(), part.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_';
        });
    };
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return isPart(name);
    return isPart(name.substr(0, dot)) && isPart(name.substr(dot + 1));
}

} // namespace zelmar
