#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qarvel {

// Where a call sign belongs, as the country file says.
struct CountryMatch {
    std::string entity;        // "Romania"
    std::string primaryPrefix; // "YO": what the log keeps as DXCCPrefix
    std::string continent;     // "EU", after any {cont} override
    std::string matchedPrefix; // the country-file prefix or exact call that matched
};

// The country file in the cty.dat format (Debian's hamradio-files ships one
// at /usr/share/hamradio-files/cty.dat). Plain C++, so that benchmarks and
// tools use the same resolution as the logger.
class CountryFile {
public:
    static constexpr const char* kDefaultPath = "/usr/share/hamradio-files/cty.dat";

    // Parses the text of a country file; false when it holds no entity.
    bool Parse(std::string_view text);
    // Reads and parses a file; false when it cannot be read or holds nothing.
    bool Load(const std::string& path);

    // Exact "=CALL" entries first, then the longest prefix of the call. For a
    // portable call A/B the shorter part is taken as the prefix (DL/YO3ABC and
    // YO3ABC/DL are German); the suffixes /P, /M, /MM, /AM, /QRP and a single
    // digit are ignored.
    std::optional<CountryMatch> Resolve(std::string_view call) const;

    std::size_t EntityCount() const { return entities_.size(); }

private:
    struct Entity {
        std::string name;
        std::string primaryPrefix;
        std::string continent;
    };
    struct Entry {
        std::size_t entity;
        std::string continent; // empty unless overridden
    };
    std::optional<CountryMatch> Match(const std::string& key, const Entry& e) const;
    std::optional<CountryMatch> LongestPrefix(const std::string& call) const;

    std::vector<Entity> entities_;
    std::unordered_map<std::string, Entry> exact_;
    std::unordered_map<std::string, Entry> prefixes_;
    std::size_t longestPrefix_ = 0;
};

} // namespace qarvel
