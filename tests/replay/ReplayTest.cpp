// The replay of the whole log through the Qt SQL adapter, against an SQLite
// file and against a PostgreSQL server: both must give the same figures.

#include "RecordBuilder.h"
#include "ReplayFakes.h"
#include "ReplayLogs.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "ui/SqlLogQuery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

struct Figures {
    std::string band;
    int QSOs, points, county, dxcc;
    bool operator==(const Figures&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Figures& f) {
    return out << f.band << ": " << f.QSOs << " QSOs, " << f.points << " points, " << f.county
               << " county, " << f.dxcc << " DXCC";
}

std::vector<Figures> FiguresOf(const TContestScorer& scorer) {
    std::vector<Figures> out;
    for (const TStatistic& s : scorer.StatList())
        out.push_back({s.band, s.QSOs, s.points, s.countyMultipliers, s.DXCCMultipliers});
    return out;
}

std::vector<std::string> CallsOf(const TContestScorer& scorer) {
    std::vector<std::string> out;
    for (const TQSO& q : scorer.QSOList())
        out.push_back(q.call);
    return out;
}

// LogRow: call, band, mode, continent, exchange, DXCC prefix, main prefix.
class ReplayTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        std::string whyNot;
        log_ = ReplayLog::Make(GetParam(), &whyNot);
        if (!log_)
            GTEST_SKIP() << whyNot;
        query_.Attach(1);
        // The operator in EU with prefix DL, last on 28 MHz before the replay.
        CopyInRecord(RecordBuilder()
                         .Call("HOST1")
                         .Band("28")
                         .Mode("RTTY")
                         .Continent("AF")
                         .Exchange("host")
                         .Prefix("ZS")
                         .MainPrefix("ZS")
                         .Ptr());
        scorer_.Tables().SetDomTable({"AB=AB", "CJ=CJ"});
    }

    void Replay() { scorer_.RecalcFromLog(query_, grid_, pump_); }

    std::string Field(const ShortText& slot) const { return ReadShortText(slot); }

    std::unique_ptr<ReplayLog> log_;
    TSqlLogQuery query_;
    RecordingGrid grid_;
    CountingPump pump_;
    RecordingFollower follower_;
    TContestScorer scorer_{[this]() -> TBandFollower* { return &follower_; }};
};

TEST_P(ReplayTest, EmptyLogForgetsEverythingCountedBefore) {
    // Counted before the replay, and figures on the grid: all of it goes.
    scorer_.ScoreQSO(true);
    scorer_.ShowStatistic(grid_);
    ASSERT_EQ(scorer_.QSOList().size(), 1u);

    Replay();
    EXPECT_TRUE(scorer_.QSOList().empty());
    EXPECT_TRUE(scorer_.StatList().empty());
    EXPECT_EQ(scorer_.DXCCWorked().Count(), 0u);
    EXPECT_EQ(scorer_.DomWorked().Count(), 0u);
    EXPECT_EQ(grid_.clears, 1);
    EXPECT_TRUE(grid_.cells.empty());
    EXPECT_FALSE(query_.IsOpen());

    scorer_.ShowStatistic(grid_);
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(grid_.Row(row), std::vector<std::string>(4, "<untouched>")) << "row " << row;
    EXPECT_EQ(grid_.Row(7), std::vector<std::string>(4, "0"));
    EXPECT_EQ(grid_.scoreLine, "Score: 0*(0+0)=0");
}

TEST_P(ReplayTest, CountsEachRowOnceAndScoresTheContinentUpperCased) {
    log_->Insert({
        {"F5AAA", "14", "CW", "eu", "599 001", "F", "F"},  // 2: eu is EU, not 4
        {"F5AAA", "14", "SSB", "EU", "599", "F", "F"},     // 2, no new DXCC
        {"W1AW", "21", "CW", "NA", "599", "K", "K"},       // 4, DXCC 21|K|
        {"W1AW", "21", "CW", "NA", "599", "K", "K"},       // the same QSO again
        {"YO3XYZ", "14", "CW", "EU", "59 ab", "YO", "YO"}, // 8, county 14|AB|
        {"DL1ABC", "14", "CW", "EU", "599", "DL", "DL"},   // 1, DXCC 14|DL|
    });
    Replay();

    const std::vector<Figures> expected = {{"14", 4, 13, 1, 2}, {"21", 1, 4, 0, 1}};
    EXPECT_EQ(FiguresOf(scorer_), expected);
    // In the order of the rows, which the database sorted by call.
    EXPECT_EQ(CallsOf(scorer_),
              (std::vector<std::string>{"DL1ABC", "F5AAA", "F5AAA", "W1AW", "YO3XYZ"}));
    EXPECT_EQ(scorer_.DomWorked().Keys(), std::vector<std::string>{"14|AB|"});

    scorer_.ShowStatistic(grid_);
    EXPECT_EQ(grid_.Row(4), (std::vector<std::string>{"4", "13", "1", "2"}));
    EXPECT_EQ(grid_.Row(5), (std::vector<std::string>{"1", "4", "0", "1"}));
    EXPECT_EQ(grid_.scoreLine, "Score: 17*(1+3)=68");
}

TEST_P(ReplayTest, CurrentRecordKeepsItsBandAndTheLastRowsOtherFields) {
    // Inserted first, read last: the database orders by call.
    log_->Insert({
        {"ZZ9ZZ", "7", "SSB", "sa", "59 cj", "CE", "CE0"},
        {"AA1AA", "3.5", "CW", "NA", "599", "K", "W"},
    });
    Replay();

    const TPluginRecord& r = CurrentRecord();
    EXPECT_EQ(Field(r.DigiBand), "28");
    EXPECT_EQ(Field(r.CallSign), "ZZ9ZZ");
    EXPECT_EQ(Field(r.QSOMode), "SSB");
    EXPECT_EQ(Field(r.Continent), "SA");
    EXPECT_EQ(Field(r.QSOReportRecived), "59 cj");
    EXPECT_EQ(Field(r.DXCCPrefix), "CE");
    EXPECT_EQ(Field(r.MainPrefix), "CE0");
    // What the replay does not read stays as the host gave it.
    EXPECT_EQ(Field(r.TableName), "Log");
    EXPECT_EQ(Field(r.MyContinent), "EU");
    EXPECT_EQ(r.Connection, 1);
}

TEST_P(ReplayTest, NullReadsEmptyLongTextsAreCutAndBytesAreLocal8Bit) {
    const std::string longExchange = "59 " + std::string(297, '9') + "AB";
    log_->Insert({
        {"AA1AA", "14", "CW", "NA", "599", "K", "W"},
        {"ZZ\xc3\x96Z", "14", "CW", "EU", longExchange, "ZS", "ZS"},
    });
    log_->Exec(QStringLiteral("UPDATE Log SET MainPrefix = NULL WHERE CallSign <> 'AA1AA'"));
    Replay();

    const TPluginRecord& r = CurrentRecord();
    EXPECT_EQ(Field(r.MainPrefix), "") << "a NULL column reads as an empty text";
    EXPECT_EQ(Field(r.QSOReportRecived), longExchange.substr(0, 255));
    EXPECT_EQ(Field(r.CallSign), QStringLiteral("ZZÖZ").toLocal8Bit().toStdString());
    // The cut exchange ends in 9s: no county from the AB beyond 255.
    EXPECT_EQ(scorer_.DomWorked().Count(), 0u);
}

TEST_P(ReplayTest, PumpsOnceAfterOpeningAndBeforeTheFirstRow) {
    log_->Insert({
        {"AA1AA", "14", "CW", "NA", "599", "K", "W"},
        {"BB1BB", "14", "CW", "NA", "599", "K", "W"},
        {"CC1CC", "14", "CW", "NA", "599", "K", "W"},
    });
    bool openAtPump = false;
    std::string callAtPump;
    std::size_t countedAtPump = 99;
    pump_.onPump = [&] {
        openAtPump = query_.IsOpen();
        callAtPump = Field(CurrentRecord().CallSign);
        countedAtPump = scorer_.QSOList().size();
    };
    Replay();

    EXPECT_EQ(pump_.calls, 1);
    EXPECT_TRUE(openAtPump);
    EXPECT_EQ(callAtPump, "HOST1") << "no row may be read before the pump";
    EXPECT_EQ(countedAtPump, 0u);
    EXPECT_EQ(scorer_.QSOList().size(), 3u);
}

TEST_P(ReplayTest, BandFollowerFollowsEachCountedRowAndEndsOnTheLast) {
    log_->Insert({
        {"CC1CC", "3.5", "CW", "NA", "599", "K", "W"},
        {"AA1AA", "7", "CW", "NA", "599", "K", "W"},
        {"BB1BB", "21", "CW", "NA", "599", "K", "W"},
        {"BB1BB", "21", "CW", "NA", "599", "K", "W"}, // a duplicate moves nothing
    });
    Replay();
    // 9 is the remembered 28 MHz, before any row; then 7, 21 and 3.5 MHz.
    EXPECT_EQ(follower_.selected, (std::vector<std::int32_t>{9, 3, 7, 2}));
    EXPECT_EQ(Field(CurrentRecord().DigiBand), "28");
}

TEST_P(ReplayTest, ErrorPartWayKeepsTheRowsCountedBeforeIt) {
    log_->Insert({
        {"AA1AA", "14", "CW", "NA", "599", "K", "W"},
        {"BB1BB", "7", "CW", "EU", "599", "F", "F"},
        {"CC1CC", "21", "CW", "NA", "599", "K", "W"},
        {"DD1DD", "28", "CW", "NA", "599", "K", "W"},
    });
    log_->MakeRowUnreadable("CC1CC");

    std::string text;
    try {
        Replay();
        ADD_FAILURE() << "the replay ended normally";
    } catch (const TDatabaseError& e) {
        text = e.what();
    }
    // The driver's own words reach the operator.
    EXPECT_THAT(text, ::testing::HasSubstr(GetParam() == Backend::SQLite ? "integer overflow"
                                                                         : "division by zero"));
    EXPECT_EQ(CallsOf(scorer_), (std::vector<std::string>{"AA1AA", "BB1BB"}));
    const std::vector<Figures> expected = {{"14", 1, 4, 0, 1}, {"7", 1, 2, 0, 1}};
    EXPECT_EQ(FiguresOf(scorer_), expected);

    scorer_.ShowStatistic(grid_);
    EXPECT_EQ(grid_.Row(7), (std::vector<std::string>{"2", "6", "0", "2"}));
}

TEST_P(ReplayTest, MissingColumnIsADatabaseErrorNamingIt) {
    scorer_.ScoreQSO(true);
    log_->Exec(QStringLiteral("DROP TABLE Log"));
    log_->Exec(QStringLiteral("CREATE TABLE Log (CallSign VARCHAR(20), DigiBand VARCHAR(20), "
                              "QSOMode VARCHAR(20), QSOReportRecived VARCHAR(20), "
                              "DXCCPrefix VARCHAR(20), MainPrefix VARCHAR(20))"));
    log_->Exec(QStringLiteral("INSERT INTO Log VALUES ('AA1AA', '14', 'CW', '599', 'K', 'W')"));
    try {
        Replay();
        FAIL() << "a log without Continent was replayed";
    } catch (const TDatabaseError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("Continent"));
    }
    EXPECT_TRUE(scorer_.QSOList().empty());
    EXPECT_TRUE(scorer_.StatList().empty());
}

TEST_P(ReplayTest, MissingTableCarriesTheDriversText) {
    CopyInRecord(RecordBuilder().Table("NoSuchLog").Ptr());
    try {
        Replay();
        FAIL() << "a missing table was replayed";
    } catch (const TDatabaseError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam() == Backend::SQLite
                                                       ? "no such table: NoSuchLog"
                                                       : "relation \"nosuchlog\" does not exist"));
    }
    EXPECT_EQ(pump_.calls, 0);
}

TEST_P(ReplayTest, UnknownOrClosedConnectionIsADatabaseError) {
    query_.Attach(7);
    EXPECT_THROW(
        {
            try {
                Replay();
            } catch (const TDatabaseError& e) {
                EXPECT_THAT(e.what(), ::testing::HasSubstr("qarvel-log-7"));
                throw;
            }
        },
        TDatabaseError);

    query_.Attach(1);
    log_->Db().close();
    EXPECT_THROW(
        {
            try {
                Replay();
            } catch (const TDatabaseError& e) {
                EXPECT_THAT(e.what(), ::testing::HasSubstr("not open"));
                throw;
            }
        },
        TDatabaseError);
    EXPECT_EQ(pump_.calls, 0);
}

TEST_P(ReplayTest, PlainQuotedAndSchemaQualifiedTableNamesAreReplayed) {
    log_->Insert({{"AA1AA", "14", "CW", "NA", "599", "K", "W"}});
    log_->Exec(QStringLiteral("CREATE TABLE \"Log 2024\" AS SELECT * FROM Log"));
    for (const std::string& table :
         {std::string("Log"), log_->Schema() + ".Log", std::string("\"Log 2024\""),
          "\"" + log_->Schema() + "\".\"Log 2024\""}) {
        CopyInRecord(RecordBuilder().Table(table).Ptr());
        Replay();
        EXPECT_EQ(CallsOf(scorer_), std::vector<std::string>{"AA1AA"}) << table;
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, ReplayTest,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
