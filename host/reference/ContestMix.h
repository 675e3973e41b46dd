#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qarvel {

// One QSO of a realistic contest log, in the fields the plug-in reads.
struct MixQSO {
    std::string call, band, mode, continent, exchange, prefix, mainPrefix;
};

// A reproducible contest log of `count` QSOs: calls drawn from MASTER.SCP
// (with home stations sending a county), countries and continents from
// cty.dat, bands and modes spread as in a real HF contest, and the odd
// duplicate an operator logs. The same seed gives the same log.
std::vector<MixQSO> GenerateContestMix(std::size_t count, unsigned seed = 1);

// The files the mix is drawn from (Debian's hamradio-files).
inline constexpr const char* kMasterScp = "/usr/share/hamradio-files/MASTER.SCP";
inline constexpr const char* kCtyDat = "/usr/share/hamradio-files/cty.dat";

} // namespace qarvel
