// The table name arrives in the host's record and is pasted into the
// statement, so only a plain identifier, or one in double quotes with no
// quote or control character inside, may ever reach the database.

#include "RecordBuilder.h"
#include "ReplayFakes.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "scoring/LogQuery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

struct NameCase {
    std::string name;
    bool plain;
};

class TableNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(TableNameTest, OnlyPlainNamesReachTheDatabase) {
    const NameCase& c = GetParam();
    EXPECT_EQ(IsPlainTableName(c.name), c.plain);

    CopyInRecord(RecordBuilder().Table(c.name).Band("14").Ptr());
    TContestScorer scorer;
    SpyQuery query;
    RecordingGrid grid;
    CountingPump pump;
    if (c.plain) {
        scorer.RecalcFromLog(query, grid, pump);
        EXPECT_THAT(query.calls,
                    ::testing::Contains("SetSQL Select * from " + c.name + " order by CallSign"));
        return;
    }
    try {
        scorer.RecalcFromLog(query, grid, pump);
        FAIL() << "the name was accepted";
    } catch (const TDatabaseError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("Invalid log table name '" + c.name + "'"));
    }
    // Closing an idle query sends nothing; no statement was set or run.
    EXPECT_THAT(query.calls, ::testing::Each(::testing::Eq("Close")));
    EXPECT_EQ(pump.calls, 0);
    EXPECT_EQ(ReadShortText(CurrentRecord().DigiBand), "14");
}

INSTANTIATE_TEST_SUITE_P(
    Names, TableNameTest,
    ::testing::Values(
        NameCase{"Log", true}, NameCase{"main.Log", true}, NameCase{"public.Log_2024", true},
        NameCase{"_log", true}, NameCase{"\"Log 2024\"", true}, NameCase{"\"Log\"", true},
        NameCase{"main.\"Log 2024\"", true}, NameCase{"\"my schema\".\"Log.2024\"", true},
        NameCase{"\"L\xc3\xb6g; -- 1\"", true}, NameCase{"Log'", false},
        NameCase{"Log; DELETE FROM Log", false}, NameCase{"Log;", false},
        NameCase{"My Log", false}, NameCase{"", false}, NameCase{" ", false},
        NameCase{"Log ", false}, NameCase{"a.b.c", false}, NameCase{".Log", false},
        NameCase{"main.", false}, NameCase{"Log--", false}, NameCase{"1Log", false},
        NameCase{"Log\tx", false}, NameCase{"Lo\xc3\xa9g", false}, NameCase{"\"\"", false},
        NameCase{"\"Log", false}, NameCase{"Log\"", false}, NameCase{"\"Lo\"g\"", false},
        NameCase{"\"Lo\"\"g\"", false}, NameCase{"\"Log\"; DROP TABLE Log", false},
        NameCase{"\"Log\" x", false}, NameCase{"\"Log\x01\"", false},
        NameCase{"\"Log\nx\"", false}, NameCase{"\"Log\x7f\"", false},
        NameCase{"\"Log\xc2\x85\"", false}, NameCase{"\"a\".\"b\".\"c\"", false},
        NameCase{"\"a\".", false}, NameCase{".\"a\"", false}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
