#include "ScoringFakes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

struct PointsCase {
    const char* name;
    const char *prefix, *continent, *myPrefix, *myContinent;
    int points;
};

class Points : public ::testing::TestWithParam<PointsCase> {};

TEST_P(Points, FromPrefixAndContinent) {
    const PointsCase& c = GetParam();
    const RecordBuilder qso = Qso("X1X", "14", "CW", c.prefix, c.continent)
                                  .MyPrefix(c.myPrefix)
                                  .MyContinent(c.myContinent);
    TContestScorer asked;
    EXPECT_EQ(GetScore(asked, qso), c.points);
    TContestScorer recorded;
    EXPECT_EQ(AddQSO(recorded, qso), c.points);
    ASSERT_EQ(recorded.StatList().size(), 1u);
    EXPECT_EQ(recorded.StatList()[0].points, c.points);
    EXPECT_EQ(recorded.StatList()[0].QSOs, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Points,
    ::testing::Values(PointsCase{"Home", "YO", "EU", "DL", "EU", 8},
                      PointsCase{"HomeLowerCase", "yo", "EU", "DL", "EU", 8},
                      PointsCase{"HomeWithBlanks", " Yo\t", "EU", "DL", "EU", 8},
                      PointsCase{"HomeOnOtherContinent", "YO", "NA", "DL", "EU", 8},
                      PointsCase{"HomeWhenOperatorIsHome", "YO", "EU", "YO", "EU", 8},
                      PointsCase{"OtherContinent", "K", "NA", "DL", "EU", 4},
                      PointsCase{"ContinentsCompareUpperCased", "F", "eu", "DL", "Eu", 2},
                      PointsCase{"ContinentNotTrimmed", "F", " EU", "DL", "EU", 4},
                      PointsCase{"OwnPrefixNotTrimmedContinent", "DL", "EU ", "DL", "EU", 4},
                      PointsCase{"OtherCountrySameContinent", "F", "EU", "DL", "EU", 2},
                      PointsCase{"OwnCountry", "DL", "EU", "DL", "EU", 1},
                      PointsCase{"OwnCountryTrimmedAndUpperCased", "dl ", "EU", " Dl", "EU", 1},
                      PointsCase{"EmptyPrefix", "", "EU", "DL", "EU", 2},
                      PointsCase{"EmptyEverything", "", "", "", "", 1},
                      PointsCase{"PartOfHomePrefixIsNotHome", "Y", "EU", "DL", "EU", 2},
                      PointsCase{"HomePrefixWithColonIsNotHome", "YO:", "EU", "DL", "EU", 2},
                      PointsCase{"LongerPrefixIsNotHome", "YOX", "EU", "DL", "EU", 2},
                      PointsCase{"PrefixFoldsOnlyAsciiLetters", "\xE4", "EU", "\xC4", "EU", 2}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> Keys(const TWorkedKeys& keys) {
    return keys.Keys();
}

const TStatistic* Statistic(const TContestScorer& scorer, const std::string& band) {
    for (const TStatistic& s : scorer.StatList())
        if (s.band == band)
            return &s;
    return nullptr;
}

TEST(Multipliers, DxccPrefixCountsOncePerBand) {
    TContestScorer scorer;
    AddQSO(scorer, Qso("DL1A", "14", "CW", "DL"));
    AddQSO(scorer, Qso("DL2B", "14", "CW", "DL"));
    AddQSO(scorer, Qso("DL3C", "21", "CW", "DL"));
    EXPECT_EQ(Statistic(scorer, "14")->DXCCMultipliers, 1);
    EXPECT_EQ(Statistic(scorer, "21")->DXCCMultipliers, 1);
    EXPECT_EQ(Keys(scorer.DXCCWorked()), (std::vector<std::string>{"14|DL|", "21|DL|"}));
}

TEST(Multipliers, DxccKeyIsBuiltFromTheUntrimmedPrefixAndComparedIgnoringCase) {
    TContestScorer scorer;
    AddQSO(scorer, Qso("DL1A", "14", "CW", "DL"));
    AddQSO(scorer, Qso("DL2B", "14", "CW", "dl"));  // same key as 14|DL|
    AddQSO(scorer, Qso("DL3C", "14", "CW", "DL ")); // 14|DL | is another key
    AddQSO(scorer, Qso("DL4D", "14", "CW", "dL ")); // same as 14|DL |
    EXPECT_EQ(Statistic(scorer, "14")->DXCCMultipliers, 2);
    EXPECT_EQ(Keys(scorer.DXCCWorked()), (std::vector<std::string>{"14|DL|", "14|DL |"}));
}

TEST(Multipliers, HomeStationAddsNoDxccButItsCounty) {
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB"});
    EXPECT_EQ(AddQSO(scorer, Qso("YO5ZAA", "14", "CW", " yo", "EU", "59 ab")), 8);
    const TStatistic* s = Statistic(scorer, "14");
    EXPECT_EQ(s->DXCCMultipliers, 0);
    EXPECT_EQ(s->countyMultipliers, 1);
    EXPECT_TRUE(scorer.DXCCWorked().Keys().empty());
    EXPECT_EQ(Keys(scorer.DomWorked()), (std::vector<std::string>{"14|AB|"}));
}

TEST(Multipliers, ForeignStationSendingACountyCodeCountsIt) {
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB"});
    EXPECT_EQ(AddQSO(scorer, Qso("DL1A", "7", "CW", "DL", "EU", "599 AB")), 1);
    EXPECT_EQ(Statistic(scorer, "7")->countyMultipliers, 1);
    EXPECT_EQ(Statistic(scorer, "7")->DXCCMultipliers, 1);
}

TEST(Multipliers, CountyCountsOncePerBand) {
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB", "BU=BU"});
    AddQSO(scorer, Qso("YO5A", "14", "CW", "YO", "EU", "59 AB"));
    AddQSO(scorer, Qso("YO5B", "14", "CW", "YO", "EU", "ab"));
    AddQSO(scorer, Qso("YO5C", "14", "CW", "YO", "EU", "59 BU"));
    AddQSO(scorer, Qso("YO5D", "21", "CW", "YO", "EU", "59 AB"));
    EXPECT_EQ(Statistic(scorer, "14")->countyMultipliers, 2);
    EXPECT_EQ(Statistic(scorer, "21")->countyMultipliers, 1);
    EXPECT_EQ(Keys(scorer.DomWorked()), (std::vector<std::string>{"14|AB|", "14|BU|", "21|AB|"}));
}

struct ExchangeCase {
    const char* name;
    const char* exchange;
    const char* county; // "" when the exchange yields no county
};

class ExchangeToCounty : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeToCounty, LastTwoLettersOfTheTrimmedUpperCasedExchange) {
    const ExchangeCase& c = GetParam();
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB", "BC=BC", "BU=BU"});
    AddQSO(scorer, Qso("YO5ZAA", "14", "CW", "YO", "EU", c.exchange));
    const std::vector<std::string> expected =
        *c.county ? std::vector<std::string>{std::string("14|") + c.county + "|"}
                  : std::vector<std::string>{};
    EXPECT_EQ(Keys(scorer.DomWorked()), expected);
    EXPECT_EQ(Statistic(scorer, "14")->countyMultipliers, *c.county ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ExchangeToCounty,
    ::testing::Values(ExchangeCase{"LowerCase", "59 ab", "AB"},
                      ExchangeCase{"Serial", "599 001", ""}, ExchangeCase{"OneLetter", "59 A", ""},
                      ExchangeCase{"ThreeLetters", "ABC", "BC"},
                      ExchangeCase{"JustTheCode", "BU", "BU"},
                      ExchangeCase{"TrailingBlanksAndControls", "  59 ab \t\r", "AB"},
                      ExchangeCase{"DigitAfterLetters", "59 AB1", ""},
                      ExchangeCase{"LetterBlankLetter", "59 A B", ""},
                      ExchangeCase{"Empty", "", ""}, ExchangeCase{"OnlyBlanks", "   ", ""},
                      ExchangeCase{"SingleLetter", "B", ""},
                      ExchangeCase{"NonAsciiLetter",
                                   "59 \xC4"
                                   "B",
                                   ""},
                      ExchangeCase{"NotInTable", "59 ZZ", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountyTableCase {
    const char* name;
    std::vector<std::string> lines;
    bool counts; // whether the exchange AB adds a county multiplier
};

class CountyTable : public ::testing::TestWithParam<CountyTableCase> {};

TEST_P(CountyTable, DecidesWhetherACodeCounts) {
    const CountyTableCase& c = GetParam();
    TContestScorer scorer;
    scorer.Tables().SetDomTable(c.lines);
    AddQSO(scorer, Qso("YO5ZAA", "14", "CW", "YO", "EU", "59 AB"));
    EXPECT_EQ(Statistic(scorer, "14")->countyMultipliers, c.counts ? 1 : 0);
    EXPECT_EQ(scorer.DomWorked().Count(), c.counts ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CountyTable,
    ::testing::Values(CountyTableCase{"Listed", {"AG=AG", "AB=AB"}, true},
                      CountyTableCase{"NameInLowerCase", {"ab=AB"}, true},
                      CountyTableCase{"ValueIsAName", {"AB=Alba"}, false},
                      CountyTableCase{"ValueInLowerCase", {"AB=ab"}, false},
                      CountyTableCase{"BlankBeforeEquals", {"AB =AB"}, false},
                      CountyTableCase{"BlankAfterValue", {"AB=AB "}, false},
                      CountyTableCase{"FirstLineOfANameWins", {"AB=Alba", "AB=AB"}, false},
                      CountyTableCase{"FirstLineWinsTheOtherWay", {"AB=AB", "AB=Alba"}, true},
                      CountyTableCase{"LineWithoutEqualsIsSkipped", {"AB", "AB=AB"}, true},
                      CountyTableCase{"EmptyTable", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreQSO, RecordingOffChangesNothing) {
    RecordingFollower follower;
    TContestScorer scorer([&follower]() -> TBandFollower* { return &follower; });
    scorer.Tables().SetDomTable({"AB=AB"});
    AddQSO(scorer, Qso("DL1A", "14", "CW", "DL"));
    const auto qsos = scorer.QSOList().size();
    const auto dxcc = Keys(scorer.DXCCWorked());
    const auto dom = Keys(scorer.DomWorked());
    follower.selected.clear();

    EXPECT_EQ(GetScore(scorer, Qso("YO5A", "21", "SSB", "YO", "EU", "59 AB")), 8);
    EXPECT_EQ(GetScore(scorer, Qso("K1A", "7", "CW", "K", "NA")), 4);

    EXPECT_EQ(scorer.QSOList().size(), qsos);
    ASSERT_EQ(scorer.StatList().size(), 1u);
    EXPECT_EQ(scorer.StatList()[0].QSOs, 1);
    EXPECT_EQ(scorer.StatList()[0].points, 1);
    EXPECT_EQ(Keys(scorer.DXCCWorked()), dxcc);
    EXPECT_EQ(Keys(scorer.DomWorked()), dom);
    EXPECT_TRUE(follower.selected.empty());
    // Still new when it is recorded afterwards.
    EXPECT_EQ(AddQSO(scorer, Qso("YO5A", "21", "SSB", "YO", "EU", "59 AB")), 8);
}

TEST(ScoreQSO, DuplicateChangesNoCounter) {
    TContestScorer scorer;
    scorer.Tables().SetDomTable({"AB=AB"});
    const RecordBuilder qso = Qso("DL1A", "14", "CW", "DL", "EU", "59 AB");
    EXPECT_EQ(AddQSO(scorer, qso), 1);
    // A duplicate with another exchange and prefix still changes nothing.
    EXPECT_EQ(AddQSO(scorer, Qso("DL1A", "14", "CW", "F", "NA", "59 BU")), -1);
    EXPECT_EQ(AddQSO(scorer, qso), -1);
    ASSERT_EQ(scorer.StatList().size(), 1u);
    const TStatistic& s = scorer.StatList()[0];
    EXPECT_EQ(s.QSOs, 1);
    EXPECT_EQ(s.points, 1);
    EXPECT_EQ(s.DXCCMultipliers, 1);
    EXPECT_EQ(s.countyMultipliers, 1);
    EXPECT_EQ(scorer.QSOList().size(), 1u);
}

TEST(ScoreQSO, EveryBandTextGetsItsOwnStatisticInFirstMetOrder) {
    TContestScorer scorer;
    int n = 0;
    for (const char* band : {"10", "14", "14.0", " 14", "10", "50", "", "14"})
        ASSERT_EQ(AddQSO(scorer, Qso("K" + std::to_string(++n), band, "CW", "K", "NA")), 4);
    std::vector<std::string> bands;
    for (const TStatistic& s : scorer.StatList())
        bands.push_back(s.band);
    EXPECT_EQ(bands, (std::vector<std::string>{"10", "14", "14.0", " 14", "50", ""}));
    EXPECT_EQ(Statistic(scorer, "10")->QSOs, 2);
    EXPECT_EQ(Statistic(scorer, "10")->points, 8);
    EXPECT_EQ(Statistic(scorer, "14")->QSOs, 2);
}

TEST(ScoreQSO, QsoKeepsItsTextsAsTheyStood) {
    TContestScorer scorer;
    AddQSO(scorer, Qso(" dl1a ", " 14", "cw "));
    ASSERT_EQ(scorer.QSOList().size(), 1u);
    EXPECT_EQ(scorer.QSOList()[0].call, " dl1a ");
    EXPECT_EQ(scorer.QSOList()[0].band, " 14");
    EXPECT_EQ(scorer.QSOList()[0].mode, "cw ");
}

} // namespace
