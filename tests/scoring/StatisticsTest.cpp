#include "ScoringFakes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

using Row = std::vector<std::string>;
const Row kUntouched(4, "<untouched>");

TEST(ShowStatistic, EmptyListGivesZeroTotalsAndTouchesNoBandRow) {
    TContestScorer scorer;
    RecordingGrid grid;
    scorer.ShowStatistic(grid);
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(grid.Row(row), kUntouched) << "row " << row;
    EXPECT_EQ(grid.Row(7), (Row{"0", "0", "0", "0"}));
    EXPECT_EQ(grid.scoreLine, "Score: 0*(0+0)=0");
    // Only columns 1 to 4 of rows 1 to 7 are ever written.
    for (const auto& [cell, text] : grid.cells) {
        EXPECT_GE(cell.first, 1);
        EXPECT_LE(cell.first, 4);
        EXPECT_GE(cell.second, 1);
        EXPECT_LE(cell.second, 7);
    }
}

struct BandRowCase {
    const char* band;
    int row; // 0: shown in no band row
};

TEST(ShowStatistic, EachContestBandHasItsRowAndOthersOnlyRaiseTheTotals) {
    const BandRowCase cases[] = {{"1.8", 1}, {"3.5", 2}, {"7", 3},  {"14", 4}, {"21", 5},
                                 {"28", 6},  {"10", 0},  {"18", 0}, {"24", 0}, {"14.0", 0},
                                 {" 14", 0}, {"14 ", 0}, {"50", 0}, {"", 0},   {"160", 0}};
    for (const BandRowCase& c : cases) {
        TContestScorer scorer;
        RecordingGrid grid;
        ASSERT_EQ(AddQSO(scorer, Qso("K1A", c.band, "CW", "K", "NA")), 4);
        scorer.ShowStatistic(grid);
        const Row counted{"1", "4", "0", "1"};
        for (int row = 1; row <= 6; ++row)
            EXPECT_EQ(grid.Row(row), row == c.row ? counted : kUntouched)
                << "band '" << c.band << "', row " << row;
        EXPECT_EQ(grid.Row(7), (Row{"1", "4", "0", "1"})) << "band '" << c.band << "'";
        EXPECT_EQ(grid.scoreLine, "Score: 4*(0+1)=4") << "band '" << c.band << "'";
    }
}

// 12 home QSOs (96 points, 5 of them with a county) and 7 foreign ones (24
// points, 7 DXCC multipliers) give the example's 120*(5+7)=1440.
TEST(ShowStatistic, ScoreLineOfAMixedLog) {
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB", "AG=AG", "AR=AR", "BC=BC", "BH=BH"});
    const char* const counties[] = {"AB", "AG", "AR", "BC", "BH", "", "", "", "", "", "", ""};
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(AddQSO(scorer, Qso("YO" + std::to_string(i), i % 2 ? "14" : "3.5", "CW", "YO",
                                     "EU", std::string("59 ") + counties[i])),
                  8);
    for (const char* prefix : {"K", "VE", "PY", "LU", "JA"})
        ASSERT_EQ(AddQSO(scorer, Qso(std::string(prefix) + "1A", "14", "SSB", prefix, "NA")), 4);
    ASSERT_EQ(AddQSO(scorer, Qso("F1A", "18", "CW", "F")), 2);
    ASSERT_EQ(AddQSO(scorer, Qso("G1A", "18", "CW", "G")), 2);
    // A duplicate changes nothing.
    ASSERT_EQ(AddQSO(scorer, Qso("G1A", "18", "CW", "G")), -1);

    RecordingGrid grid;
    scorer.ShowStatistic(grid);
    EXPECT_EQ(grid.Row(2), (Row{"6", "48", "3", "0"}));  // 3.5: YO0, YO2 .. YO10
    EXPECT_EQ(grid.Row(4), (Row{"11", "68", "2", "5"})); // 14
    EXPECT_EQ(grid.Row(7), (Row{"19", "120", "5", "7"}));
    EXPECT_EQ(grid.scoreLine, "Score: 120*(5+7)=1440");

    const TStatisticTotals t = scorer.Totals();
    EXPECT_EQ(t.QSOs, 19);
    EXPECT_EQ(t.score, 1440);

    // Written again after a duplicate: the same figures.
    RecordingGrid again;
    scorer.ShowStatistic(again);
    EXPECT_EQ(again.cells, grid.cells);
    EXPECT_EQ(again.scoreLine, grid.scoreLine);
}

// 300 000 points with 20 000 multipliers is 6 000 000 000, beyond 32 bits;
// a 32-bit product would show 1 705 032 704.
TEST(ShowStatistic, ScoreOfALargeLogIsComputedIn64Bits) {
    TContestScorer scorer;
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        Hand(Qso("K" + n, "14", "CW", "P" + n, "NA"));
        ASSERT_EQ(scorer.ScoreQSO(true), 4);
    }
    for (int i = 0; i < 27500; ++i) {
        Hand(Qso("YO" + std::to_string(i), "7", "CW", "YO"));
        ASSERT_EQ(scorer.ScoreQSO(true), 8);
    }
    scorer.SortQSOList();

    const TStatisticTotals t = scorer.Totals();
    EXPECT_EQ(t.points, 300000);
    EXPECT_EQ(t.DXCCMultipliers, 20000);
    EXPECT_EQ(t.score, 6000000000LL);

    RecordingGrid grid;
    scorer.ShowStatistic(grid);
    EXPECT_EQ(grid.Row(7), (Row{"47500", "300000", "0", "20000"}));
    EXPECT_EQ(grid.scoreLine, "Score: 300000*(0+20000)=6000000000");
}

struct FollowCase {
    const char* band;
    int selected; // 0: the window is not moved
};

TEST(ShowDXList, FollowsTheTrimmedBandOfARecordedQso) {
    const FollowCase cases[] = {
        {"1.8", 1}, {"3.5", 2}, {"7", 3},    {"10", 4},   {"14", 5},   {"18", 6},
        {"21", 7},  {"24", 8},  {"28", 9},   {" 14 ", 5}, {"\t7", 3},  {"50", 0},
        {"", 0},    {"   ", 0}, {"14.0", 0}, {"160", 0},  {"1.80", 0},
    };
    for (const FollowCase& c : cases) {
        RecordingFollower follower;
        TContestScorer scorer([&follower]() -> TBandFollower* { return &follower; });
        ASSERT_GT(AddQSO(scorer, Qso("K1A", c.band)), 0);
        const std::vector<std::int32_t> expected =
            c.selected ? std::vector<std::int32_t>{c.selected} : std::vector<std::int32_t>{};
        EXPECT_EQ(follower.selected, expected) << "band '" << c.band << "'";
    }
}

TEST(ShowDXList, DuplicatesAndQuestionsDoNotMoveTheWindow) {
    RecordingFollower follower;
    TContestScorer scorer([&follower]() -> TBandFollower* { return &follower; });
    ASSERT_EQ(AddQSO(scorer, Qso("K1A", "21")), 2);
    ASSERT_EQ(AddQSO(scorer, Qso("K1A", "21")), -1);
    ASSERT_EQ(GetScore(scorer, Qso("K2A", "7")), 2);
    ASSERT_EQ(GetScore(scorer, Qso("K1A", "21")), -1);
    EXPECT_EQ(follower.selected, (std::vector<std::int32_t>{7}));
}

TEST(ShowDXList, WindowIsAskedForAtTheMomentOfFollowing) {
    RecordingFollower follower;
    bool open = false;
    TContestScorer scorer([&]() -> TBandFollower* { return open ? &follower : nullptr; });
    AddQSO(scorer, Qso("K1A", "14")); // no window open: nothing to follow
    open = true;
    AddQSO(scorer, Qso("K2A", "28"));
    open = false;
    AddQSO(scorer, Qso("K3A", "7"));
    EXPECT_EQ(follower.selected, (std::vector<std::int32_t>{9}));

    TContestScorer without; // no follower source at all
    EXPECT_EQ(AddQSO(without, Qso("K1A", "14")), 2);
}

} // namespace
