#include "reference/CountryFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace qarvel {

namespace {

std::string Trimmed(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= 32)
        ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= 32)
        --b;
    return std::string(s.substr(a, b - a));
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Removes the zone, position and time overrides of a prefix entry and
// returns its continent override ("{EU}"), if any.
std::string StripOverrides(std::string& token) {
    std::string continent;
    std::string clean;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        char close = 0;
        if (c == '(')
            close = ')';
        else if (c == '[')
            close = ']';
        else if (c == '<')
            close = '>';
        else if (c == '{')
            close = '}';
        else if (c == '~')
            close = '~';
        if (close) {
            const std::size_t end = token.find(close, i + 1);
            if (end == std::string::npos)
                break;
            if (c == '{')
                continent = token.substr(i + 1, end - i - 1);
            i = end;
            continue;
        }
        clean += c;
    }
    token = clean;
    return continent;
}

bool IsIgnoredSuffix(const std::string& part) {
    static const char* const kSuffixes[] = {"P", "M", "MM", "AM", "QRP", "QRPP", "LH", "A", "B"};
    if (part.size() == 1 && part[0] >= '0' && part[0] <= '9')
        return true;
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes),
                       [&](const char* s) { return part == s; });
}

} // namespace

bool CountryFile::Parse(std::string_view text) {
    entities_.clear();
    exact_.clear();
    prefixes_.clear();
    longestPrefix_ = 0;

    std::size_t pos = 0;
    while (pos < text.size()) {
        // Header: eight fields, each ended by ':'.
        std::vector<std::string> fields;
        while (fields.size() < 8 && pos < text.size()) {
            const std::size_t colon = text.find(':', pos);
            if (colon == std::string_view::npos) {
                pos = text.size();
                break;
            }
            fields.push_back(Trimmed(text.substr(pos, colon - pos)));
            pos = colon + 1;
        }
        if (fields.size() < 8)
            break;
        const std::size_t semi = text.find(';', pos);
        const std::string_view list =
            text.substr(pos, (semi == std::string_view::npos ? text.size() : semi) - pos);
        pos = semi == std::string_view::npos ? text.size() : semi + 1;

        Entity entity{fields[0], fields[7], Upper(fields[3])};
        if (!entity.primaryPrefix.empty() && entity.primaryPrefix[0] == '*')
            entity.primaryPrefix.erase(0, 1);
        const std::size_t index = entities_.size();
        entities_.push_back(entity);

        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(',', start);
            if (comma == std::string_view::npos)
                comma = list.size();
            std::string token = Trimmed(list.substr(start, comma - start));
            start = comma + 1;
            if (token.empty())
                continue;
            const bool exact = token[0] == '=';
            if (exact)
                token.erase(0, 1);
            Entry entry{index, Upper(StripOverrides(token))};
            token = Upper(Trimmed(token));
            if (token.empty())
                continue;
            if (exact) {
                exact_.emplace(token, entry);
            } else {
                longestPrefix_ = std::max(longestPrefix_, token.size());
                prefixes_.emplace(token, entry);
            }
        }
    }
    return !entities_.empty();
}

bool CountryFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(text);
}

std::optional<CountryMatch> CountryFile::Match(const std::string& key, const Entry& e) const {
    const Entity& entity = entities_[e.entity];
    return CountryMatch{entity.name, entity.primaryPrefix,
                        e.continent.empty() ? entity.continent : e.continent, key};
}

std::optional<CountryMatch> CountryFile::LongestPrefix(const std::string& call) const {
    for (std::size_t n = std::min(call.size(), longestPrefix_); n > 0; --n) {
        const std::string key = call.substr(0, n);
        const auto it = prefixes_.find(key);
        if (it != prefixes_.end())
            return Match(key, it->second);
    }
    return std::nullopt;
}

std::optional<CountryMatch> CountryFile::Resolve(std::string_view rawCall) const {
    const std::string call = Upper(Trimmed(rawCall));
    if (call.empty())
        return std::nullopt;
    if (const auto it = exact_.find(call); it != exact_.end())
        return Match(call, it->second);
    if (call.find('/') == std::string::npos)
        return LongestPrefix(call);

    std::vector<std::string> parts;
    std::stringstream ss(call);
    for (std::string part; std::getline(ss, part, '/');)
        if (!part.empty() && !IsIgnoredSuffix(part))
            parts.push_back(part);
    if (parts.empty())
        return std::nullopt;
    if (parts.size() == 1) {
        if (const auto it = exact_.find(parts[0]); it != exact_.end())
            return Match(parts[0], it->second);
        return LongestPrefix(parts[0]);
    }
    // The shorter part is the location prefix; on a tie, the first.
    const std::string& prefix = parts[0].size() <= parts[1].size() ? parts[0] : parts[1];
    return LongestPrefix(prefix);
}

} // namespace qarvel
