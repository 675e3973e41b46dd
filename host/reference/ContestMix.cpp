#include "reference/ContestMix.h"

#include "reference/CountryFile.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace qarvel {

namespace {

const char* const kCounties[] = {"AB", "AG", "AR", "BC", "BH", "BN", "BR", "BT", "BU", "BV", "BZ",
                                 "CJ", "CL", "CS", "CT", "CV", "DB", "DJ", "GJ", "GL", "GR", "HD",
                                 "HR", "IF", "IL", "IS", "MH", "MM", "MS", "NT", "OT", "PH", "SB",
                                 "SJ", "SM", "SV", "TL", "TM", "TR", "VL", "VN", "VS"};

// Activity of a 24-hour HF contest: the low bands at night, 20 and 15 by day.
const char* const kBands[] = {"1.8", "3.5", "7", "14", "21", "28"};
const double kBandWeights[] = {5, 18, 30, 27, 14, 6};

std::vector<std::string> ReadCalls() {
    std::ifstream in(kMasterScp);
    if (!in)
        throw std::runtime_error(std::string("cannot read ") + kMasterScp);
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            calls.push_back(line);
    }
    return calls;
}

} // namespace

std::vector<MixQSO> GenerateContestMix(std::size_t count, unsigned seed) {
    static const std::vector<std::string> calls = ReadCalls();
    static const qarvel::CountryFile countries = [] {
        qarvel::CountryFile f;
        if (!f.Load(kCtyDat))
            throw std::runtime_error(std::string("cannot read ") + kCtyDat);
        return f;
    }();
    static const std::vector<std::string> homeCalls = [] {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.rfind("YO", 0) == 0)
                out.push_back(c);
        return out;
    }();

    std::mt19937 rng(seed);
    std::discrete_distribution<int> band(std::begin(kBandWeights), std::end(kBandWeights));
    std::uniform_int_distribution<std::size_t> anyCall(0, calls.size() - 1);
    std::uniform_int_distribution<std::size_t> homeCall(
        0, homeCalls.empty() ? 0 : homeCalls.size() - 1);
    std::uniform_int_distribution<int> county(0, std::size(kCounties) - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> serial(1, 2500);

    std::vector<MixQSO> log;
    log.reserve(count);
    while (log.size() < count) {
        // About one QSO in six is with a home station sending its county;
        // about one in a hundred is a duplicate the operator logged again.
        if (!log.empty() && percent(rng) == 0) {
            log.push_back(log[std::uniform_int_distribution<std::size_t>(0, log.size() - 1)(rng)]);
            continue;
        }
        const bool home = !homeCalls.empty() && percent(rng) < 16;
        MixQSO q;
        q.call = home ? homeCalls[homeCall(rng)] : calls[anyCall(rng)];
        q.band = kBands[band(rng)];
        q.mode = percent(rng) < 60 ? "CW" : "SSB";
        if (const auto m = countries.Resolve(q.call)) {
            q.prefix = m->primaryPrefix;
            q.continent = m->continent;
            q.mainPrefix = m->matchedPrefix;
        }
        const std::string rst = q.mode == "CW" ? "599" : "59";
        q.exchange =
            home ? rst + " " + kCounties[county(rng)] : rst + " " + std::to_string(serial(rng));
        log.push_back(std::move(q));
    }
    return log;
}

} // namespace qarvel
