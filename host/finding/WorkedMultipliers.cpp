#include "finding/WorkedMultipliers.h"

namespace qarvel {

std::string WorkedMultipliers::Key(std::string_view band, std::string_view what) {
    std::string key(band);
    key += '|';
    key += what;
    return key;
}

void WorkedMultipliers::Clear() {
    countries_.clear();
    counties_.clear();
}

void WorkedMultipliers::Add(std::string_view band, std::string_view dxccPrefix,
                            std::string_view county) {
    if (!dxccPrefix.empty())
        countries_.insert(Key(band, dxccPrefix));
    if (!county.empty())
        counties_.insert(Key(band, county));
}

bool WorkedMultipliers::HasCountry(std::string_view band, std::string_view dxccPrefix) const {
    return countries_.contains(Key(band, dxccPrefix));
}

bool WorkedMultipliers::HasCounty(std::string_view band, std::string_view county) const {
    return counties_.contains(Key(band, county));
}

} // namespace qarvel
