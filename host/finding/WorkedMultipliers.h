#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace qarvel {

// The multipliers the log holds per band, as the contest module counts
// them: a foreign country (DXCC prefix) and a county, each once per band.
class WorkedMultipliers {
public:
    void Clear();
    // Either may be empty: a home station counts no country, a station
    // without a county code no county.
    void Add(std::string_view band, std::string_view dxccPrefix, std::string_view county);
    bool HasCountry(std::string_view band, std::string_view dxccPrefix) const;
    bool HasCounty(std::string_view band, std::string_view county) const;

private:
    static std::string Key(std::string_view band, std::string_view what);
    std::unordered_set<std::string> countries_;
    std::unordered_set<std::string> counties_;
};

} // namespace qarvel
