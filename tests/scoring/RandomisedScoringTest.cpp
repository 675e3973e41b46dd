#include "ScoringFakes.h"
#include "plugin/TextRules.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

// A small alphabet, so that shared calls, duplicates, keys that differ only
// in case or blanks, and bands without a grid row all occur often.
const char* const kCalls[] = {"A", "B", "a", "AB", "BA", "A1", "b", "AA", "B1", "", "A "};
const char* const kBands[] = {"14", "7", "14.0", " 14", "10", "3.5"};
const char* const kModes[] = {"CW", "cw", "SSB"};
const char* const kPrefixes[] = {"YO", "yo ", "DL", "dl", "DL ", "F", "K", ""};
const char* const kContinents[] = {"EU", "eu", "NA", " EU"};
const char* const kExchanges[] = {"59 AB", "ab", "599 001", "59 A", "ZZ", "xbu", "59 BC", ""};
const std::vector<std::string> kCountyTable = {"AB=AB", "bu=BU", "ZZ=Zed", "BC =BC"};

template <typename T, std::size_t N> const T& Pick(std::mt19937& rng, const T (&items)[N]) {
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

struct Qsorec {
    std::string call, band, mode, prefix, continent, exchange;
};

Qsorec RandomQso(std::mt19937& rng) {
    return {Pick(rng, kCalls),    Pick(rng, kBands),      Pick(rng, kModes),
            Pick(rng, kPrefixes), Pick(rng, kContinents), Pick(rng, kExchanges)};
}

RecordBuilder Record(const Qsorec& q) {
    return Qso(q.call, q.band, q.mode, q.prefix, q.continent, q.exchange);
}

// The duplicate check as the rules give it, over the list as it stands.
bool ReferenceSearch(const TQSOList& list, const Qsorec& q) {
    int low = 0, high = static_cast<int>(list.size()) - 1, mid = 0;
    bool found = false;
    while (high >= low && !found) {
        mid = (low + high) / 2;
        if (q.call < list[mid].call)
            high = mid - 1;
        else if (q.call > list[mid].call)
            low = mid + 1;
        else
            found = true;
    }
    if (!found)
        return false;
    while (mid > 0 && list[mid - 1].call == q.call)
        --mid;
    for (std::size_t i = mid; i < list.size() && list[i].call == q.call; ++i)
        if (list[i].band == q.band && list[i].mode == q.mode)
            return true;
    return false;
}

bool LinearScan(const TQSOList& list, const Qsorec& q) {
    return std::any_of(list.begin(), list.end(), [&](const TQSO& e) {
        return e.call == q.call && e.band == q.band && e.mode == q.mode;
    });
}

int ReferencePoints(const Qsorec& q) {
    auto up = [](std::string s) {
        for (char& c : s)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return s;
    };
    auto trim = [](std::string s) {
        while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
            s.pop_back();
        while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
            s.erase(s.begin());
        return s;
    };
    const std::string p = trim(up(q.prefix));
    if (p == "YO")
        return 8;
    if (up(q.continent) != "EU")
        return 4;
    return p == "DL" ? 1 : 2;
}

// What every figure should be, counted again from the QSOs that were counted.
struct Recount {
    std::map<std::string, TStatistic> perBand;
    void Add(const Qsorec& q, int points) { counted.push_back({q, points}); }
    void Compute() {
        perBand.clear();
        std::set<std::string> dxcc, dom;
        for (const auto& [q, points] : counted) {
            TStatistic& s = perBand[q.band];
            s.band = q.band;
            ++s.QSOs;
            s.points += points;
            if (points != 8 && dxcc.insert(UpperCase(q.band + "|" + q.prefix + "|")).second)
                ++s.DXCCMultipliers;
            const std::string x = UpperCase(Trim(q.exchange));
            const std::string k = x.size() >= 2 ? x.substr(x.size() - 2) : "";
            if ((k == "AB" || k == "BU") && dom.insert(q.band + "|" + k + "|").second)
                ++s.countyMultipliers;
        }
    }
    std::vector<std::pair<Qsorec, int>> counted;
};

void ExpectSameStatistics(const TContestScorer& scorer, Recount& recount) {
    recount.Compute();
    ASSERT_EQ(scorer.StatList().size(), recount.perBand.size());
    std::int64_t points = 0, mults = 0;
    for (const TStatistic& s : scorer.StatList()) {
        const TStatistic& r = recount.perBand.at(s.band);
        EXPECT_EQ(s.QSOs, r.QSOs) << "band '" << s.band << "'";
        EXPECT_EQ(s.points, r.points) << "band '" << s.band << "'";
        EXPECT_EQ(s.DXCCMultipliers, r.DXCCMultipliers) << "band '" << s.band << "'";
        EXPECT_EQ(s.countyMultipliers, r.countyMultipliers) << "band '" << s.band << "'";
        points += r.points;
        mults += r.DXCCMultipliers + r.countyMultipliers;
    }
    EXPECT_EQ(scorer.Totals().score, points * mults);
    EXPECT_EQ(scorer.QSOList().size(), recount.counted.size());
}

class RandomisedScoring : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomisedScoring, AgreesWithTheReferenceAndARecount) {
    std::mt19937 rng(GetParam());
    TContestScorer scorer;
    scorer.Tables().SetDomTable(kCountyTable);
    Recount recount;

    // A replay: rows appended in an order that need not be ordinal, never
    // sorted. The duplicate check may miss here, but exactly where the
    // search over the unsorted list misses.
    const int replayRows = std::uniform_int_distribution<int>(0, 400)(rng);
    for (int i = 0; i < replayRows; ++i) {
        Qsorec q = RandomQso(rng);
        const bool dupe = ReferenceSearch(scorer.QSOList(), q);
        Hand(Record(q));
        ASSERT_EQ(scorer.IsDupe(), dupe) << "replay row " << i;
        const int result = scorer.ScoreQSO(true);
        ASSERT_EQ(result, dupe ? -1 : ReferencePoints(q)) << "replay row " << i;
        if (result > 0)
            recount.Add(q, result);
    }
    ExpectSameStatistics(scorer, recount);

    // The host's QSOs: asked about, then added; once the first counted one
    // has sorted the list, the check is a plain linear scan.
    bool sorted = false;
    for (int i = 0; i < 3000; ++i) {
        const Qsorec q = RandomQso(rng);
        const bool reference = ReferenceSearch(scorer.QSOList(), q);
        const std::size_t before = scorer.QSOList().size();
        const int asked = GetScore(scorer, Record(q));
        ASSERT_EQ(asked == -1, reference) << "QSO " << i;
        if (sorted) {
            ASSERT_EQ(asked == -1, LinearScan(scorer.QSOList(), q)) << "QSO " << i;
        }
        ASSERT_EQ(scorer.QSOList().size(), before);

        const int result = AddQSO(scorer, Record(q));
        ASSERT_EQ(result, asked) << "QSO " << i;
        if (result > 0) {
            recount.Add(q, result);
            sorted = true;
        }
        if (sorted) {
            ASSERT_TRUE(
                std::is_sorted(scorer.QSOList().begin(), scorer.QSOList().end(),
                               [](const TQSO& a, const TQSO& b) { return a.call < b.call; }))
                << "QSO " << i;
        }
    }
    ExpectSameStatistics(scorer, recount);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomisedScoring, ::testing::Values(1u, 2u, 3u, 20240611u));

} // namespace
