// A PostgreSQL log whose CallSign collation ignores case hands the rows over
// in an order that is not the ordinal one the duplicate search relies on.
// The list keeps the database's order until a counted QSO re-sorts it.

#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "ReplayFakes.h"
#include "TempPostgresLog.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "ui/SqlLogQuery.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

// Ordinal order puts every upper-case call before ab1ab; the collation puts
// ab1ab between AA1AA and AC1AC.
const std::vector<LogRow> kRows = {
    {"AC1AC", "14", "CW", "EU", "599", "F", "F"},
    {"ab1ab", "14", "CW", "EU", "599", "F", "F"},
    {"AA1AA", "14", "CW", "EU", "599", "F", "F"},
};

class CollationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PostgresServer::Shared().Running())
            GTEST_SKIP() << "PostgreSQL server could not be started: "
                         << PostgresServer::Shared().Failure().toStdString();
    }

    std::vector<std::string> ReplayCalls(TempPostgresLog& log) {
        log.Insert(kRows);
        log.Insert({kRows[0]}); // AC1AC twice
        CopyInRecord(RecordBuilder().Band("14").Ptr());
        TContestScorer scorer;
        TSqlLogQuery query;
        query.Attach(1);
        RecordingGrid grid;
        CountingPump pump;
        scorer.RecalcFromLog(query, grid, pump);
        std::vector<std::string> calls;
        for (const TQSO& q : scorer.QSOList())
            calls.push_back(q.call);
        return calls;
    }
};

TEST_F(CollationTest, ReplayKeepsTheDatabaseOrderAndMissesWhatTheSearchCannotReach) {
    TempPostgresLog log(1, QStringLiteral("Log"), QStringLiteral("ignore_case"));
    // The second AC1AC lies beyond ab1ab, where the search never looks.
    EXPECT_EQ(ReplayCalls(log), (std::vector<std::string>{"AA1AA", "ab1ab", "AC1AC", "AC1AC"}));
}

TEST_F(CollationTest, OrdinalCollationFindsTheSameDuplicate) {
    TempPostgresLog log(1, QStringLiteral("Log"));
    EXPECT_EQ(ReplayCalls(log), (std::vector<std::string>{"AA1AA", "AC1AC", "ab1ab"}));
}

TEST_F(CollationTest, CountedAddQSOReSortsAndTheDuplicateIsFound) {
    TempPostgresLog log(1, QStringLiteral("Log"), QStringLiteral("ignore_case"));
    log.Insert(kRows);

    MessageBoxCatcher boxes;
    LoadedModule module(LoadedModule::DefaultPath());
    const RecordBuilder host = RecordBuilder().Connection(1).Table("Log");
    ASSERT_NE(module.Run(0, host.Ptr()), 0u);

    const auto qso = [](const std::string& call) {
        return RecordBuilder().Call(call).Band("14").Mode("CW").Continent("EU").Prefix("F");
    };
    EXPECT_EQ(module.GetScore(qso("AC1AC").Ptr()), 2) << "beyond ab1ab: not found yet";
    EXPECT_EQ(module.GetScore(qso("AA1AA").Ptr()), -1);
    EXPECT_EQ(module.AddQSO(qso("AA1AA").Ptr()), -1); // a duplicate re-sorts nothing
    EXPECT_EQ(module.GetScore(qso("AC1AC").Ptr()), 2);

    EXPECT_EQ(module.AddQSO(qso("ZZ1ZZ").Ptr()), 2);
    EXPECT_EQ(module.GetScore(qso("AC1AC").Ptr()), -1);
    EXPECT_EQ(module.AddQSO(qso("AC1AC").Ptr()), -1);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();

    module.Release();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
