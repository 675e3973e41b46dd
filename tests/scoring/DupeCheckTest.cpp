#include "ScoringFakes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

bool IsDupeOf(TContestScorer& scorer, const RecordBuilder& record) {
    Hand(record);
    return scorer.IsDupe();
}

bool CallsSorted(const TContestScorer& scorer) {
    return std::is_sorted(scorer.QSOList().begin(), scorer.QSOList().end(),
                          [](const TQSO& a, const TQSO& b) { return a.call < b.call; });
}

TEST(DupeCheck, EmptyListHasNoDuplicate) {
    TContestScorer scorer;
    EXPECT_FALSE(IsDupeOf(scorer, Qso("DL1ABC")));
    EXPECT_FALSE(IsDupeOf(scorer, Qso("")));
}

struct DupeCase {
    const char* name;
    const char *call, *band, *mode;    // counted first
    const char *call2, *band2, *mode2; // then checked
    bool dupe;
};

class DupePairs : public ::testing::TestWithParam<DupeCase> {};

TEST_P(DupePairs, SecondQsoAgainstFirst) {
    const DupeCase& c = GetParam();
    TContestScorer scorer;
    // Neighbours on both sides, so that the search does not merely hit a
    // one-entry list.
    for (const char* other : {"AA1AA", "ZZ9ZZ", "DL1ABD", "DL1AB"})
        ASSERT_GT(AddQSO(scorer, Qso(other, c.band, c.mode)), 0);
    ASSERT_GT(AddQSO(scorer, Qso(c.call, c.band, c.mode)), 0);
    EXPECT_EQ(IsDupeOf(scorer, Qso(c.call2, c.band2, c.mode2)), c.dupe);
    EXPECT_EQ(GetScore(scorer, Qso(c.call2, c.band2, c.mode2)) == -1, c.dupe);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DupePairs,
    ::testing::Values(
        DupeCase{"SameCallBandMode", "DL1ABC", "14", "CW", "DL1ABC", "14", "CW", true},
        DupeCase{"OtherMode", "DL1ABC", "14", "CW", "DL1ABC", "14", "SSB", false},
        DupeCase{"OtherBand", "DL1ABC", "14", "CW", "DL1ABC", "7", "CW", false},
        DupeCase{"LowerCaseCall", "DL1ABC", "14", "CW", "dl1abc", "14", "CW", false},
        DupeCase{"BandWrittenOtherwise", "DL1ABC", "14", "CW", "DL1ABC", "14.0", "CW", false},
        DupeCase{"ModeInLowerCase", "DL1ABC", "14", "CW", "DL1ABC", "14", "cw", false},
        DupeCase{"CallWithBlank", "DL1ABC", "14", "CW", "DL1ABC ", "14", "CW", false},
        DupeCase{"CallPrefixOfListed", "DL1ABC", "14", "CW", "DL1AB", "14", "SSB", false},
        DupeCase{"EmptyCall", "", "14", "CW", "", "14", "CW", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The matching entry stands first in its run and the run starts at entry 0;
// wherever the binary search lands inside the run, the walk back must reach
// it. Every run length and tail length moves the landing point.
TEST(DupeCheck, FirstEntryOfARunIsFoundWhereverTheSearchLands) {
    const char* const otherBands[] = {"1.8", "3.5", "7", "21", "28", "10", "18", "24"};
    for (int runLength = 1; runLength <= 9; ++runLength) {
        for (int tail = 0; tail <= 12; ++tail) {
            TContestScorer scorer;
            ASSERT_EQ(AddQSO(scorer, Qso("AA1A", "14", "CW")), 2);
            for (int i = 0; i + 1 < runLength; ++i)
                ASSERT_EQ(AddQSO(scorer, Qso("AA1A", otherBands[i], "CW")), 2);
            for (int i = 0; i < tail; ++i)
                ASSERT_EQ(AddQSO(scorer, Qso("K" + std::to_string(10 + i), "14", "CW")), 2);
            ASSERT_EQ(scorer.QSOList()[0].band, "14");
            EXPECT_TRUE(IsDupeOf(scorer, Qso("AA1A", "14", "CW")))
                << "run " << runLength << ", tail " << tail;
            EXPECT_FALSE(IsDupeOf(scorer, Qso("AA1A", "14", "SSB")))
                << "run " << runLength << ", tail " << tail;
        }
    }
}

// The same for a run in the middle and at the end, with the match last in
// the run: the forward scan must go on to the run's end, and stop there.
TEST(DupeCheck, LastEntryOfARunIsFoundWhereverTheSearchLands) {
    const char* const otherBands[] = {"1.8", "3.5", "7", "21", "28", "10", "18", "24"};
    for (int runLength = 1; runLength <= 9; ++runLength) {
        for (int head = 0; head <= 6; ++head) {
            for (int tail = 0; tail <= 6; ++tail) {
                TContestScorer scorer;
                for (int i = 0; i < head; ++i)
                    AddQSO(scorer, Qso("A" + std::to_string(i), "14", "CW"));
                for (int i = 0; i + 1 < runLength; ++i)
                    AddQSO(scorer, Qso("M1M", otherBands[i], "CW"));
                AddQSO(scorer, Qso("M1M", "14", "CW"));
                for (int i = 0; i < tail; ++i)
                    AddQSO(scorer, Qso("Z" + std::to_string(i), "14", "CW"));
                EXPECT_TRUE(IsDupeOf(scorer, Qso("M1M", "14", "CW")))
                    << "run " << runLength << ", head " << head << ", tail " << tail;
                // Entries after the run share band and mode: the scan must
                // stop at the first other call.
                EXPECT_FALSE(IsDupeOf(scorer, Qso("M1M", "14", "SSB")));
                EXPECT_FALSE(IsDupeOf(scorer, Qso("M1", "14", "CW")));
            }
        }
    }
}

struct CompareCase {
    const char *a, *b;
    int expected;
};

TEST(DupeCheck, CompareQSOByCallIsOrdinalByteByByte) {
    const CompareCase cases[] = {
        {"A", "B", -1},
        {"B", "A", 1},
        {"DL1", "DL1", 0},
        {"DL1", "DL1A", -1},
        {"DL1A", "DL1", 1},
        {"", "A", -1},
        {"a", "Z", 1},
        {"Z", "a", -1},
        {"\xC4", "z", 1},
        {"z", "\xC4", -1},
        {"DL1ABC", "dl1abc", -1},
        {"", "", 0},
    };
    for (const CompareCase& c : cases)
        EXPECT_EQ(TContestScorer::CompareQSOByCall(TQSO{c.a, "", ""}, TQSO{c.b, "", ""}),
                  c.expected)
            << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(DupeCheck, SortQSOListOrdersBytesAsUnsigned) {
    TContestScorer scorer;
    for (const char* call : {"\xC4Z", "a1", "Z9", "DL1", "DL1A", "9A1", "DL", ""})
        AddQSO(scorer, Qso(call));
    std::vector<std::string> calls;
    for (const TQSO& q : scorer.QSOList())
        calls.push_back(q.call);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"", "9A1", "DL", "DL1", "DL1A", "Z9", "a1", "\xC4Z"}));
}

// A replay appends rows in the database's order. With a collation that
// ignores case that is not ordinal order, and the binary search can miss a
// duplicate; the first counted QSO after the replay must sort fully.
TEST(DupeCheck, ReplayOrderIsSortedFullyByTheNextCountedQso) {
    TContestScorer scorer;
    for (const char* call : {"a1", "B1", "c1", "D1", "e1"}) {
        Hand(Qso(call));
        ASSERT_GT(scorer.ScoreQSO(true), 0);
    }
    ASSERT_FALSE(CallsSorted(scorer));

    // The search over [a1, B1, c1, D1, e1] goes c1, a1 and gives up: B1 is
    // counted but not recognised.
    EXPECT_FALSE(IsDupeOf(scorer, Qso("B1")));

    ASSERT_EQ(AddQSO(scorer, Qso("W1AW", "14", "CW", "K", "NA")), 4);
    EXPECT_TRUE(CallsSorted(scorer));
    for (const char* call : {"a1", "B1", "c1", "D1", "e1", "W1AW"})
        EXPECT_TRUE(IsDupeOf(scorer, Qso(call))) << call;
}

TEST(DupeCheck, ReplayOfOneRowThenCountedQsosStaysSorted) {
    TContestScorer scorer;
    Hand(Qso("M1"));
    ASSERT_GT(scorer.ScoreQSO(true), 0);
    for (const char* call : {"Z1", "A1", "M0", "M2", "A0"}) {
        ASSERT_GT(AddQSO(scorer, Qso(call)), 0);
        EXPECT_TRUE(CallsSorted(scorer)) << "after " << call;
    }
    EXPECT_EQ(scorer.QSOList().size(), 6u);
}

TEST(DupeCheck, ClearForgetsEveryQso) {
    TContestScorer scorer;
    AddQSO(scorer, Qso("DL1ABC"));
    AddQSO(scorer, Qso("AA1A"));
    scorer.Clear();
    EXPECT_TRUE(scorer.QSOList().empty());
    EXPECT_FALSE(IsDupeOf(scorer, Qso("DL1ABC")));
    // After a Clear the list is sorted again from scratch.
    AddQSO(scorer, Qso("Z1"));
    AddQSO(scorer, Qso("B1"));
    AddQSO(scorer, Qso("K1"));
    EXPECT_TRUE(CallsSorted(scorer));
}

} // namespace
