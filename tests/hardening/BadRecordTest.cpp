// Records no sane host sends: length bytes of 255 over garbage, bands, modes
// and prefixes of control characters and high bytes, table names that try
// to be SQL. Each is scored by the contest rules or refused with a clear
// error; none crashes the module or touches the host's log.
#include "ModuleHarness.h"

#include <QSqlError>
#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

using namespace std::string_literals;

// Every short text of the record claims 255 characters, and the slots hold
// `fill` throughout: the characters are whatever the host left there.
TPluginRecord AllLengths255(unsigned char fill, const TPluginRecord& base) {
    TPluginRecord r = base;
    for (ShortText* slot :
         {&r.TableName, &r.CallSign, &r.DigiBand, &r.QSOMode, &r.Continent, &r.QSOReportRecived,
          &r.MainPrefix, &r.DXCCPrefix, &r.CaptionName, &r.MyContinent, &r.MyDXCCPrefix}) {
        slot->length = 255;
        std::memset(slot->chars, fill, sizeof slot->chars);
    }
    return r;
}

struct BadQSO {
    const char* what;
    RecordBuilder record;
    std::int32_t points;
};

class BadRecord : public ModuleHarness {
protected:
    void SetUp() override {
        ModuleHarness::SetUp();
        log_->Insert({{"YO5ZAA", "14", "CW", "EU", "599AB", "YO", "YO5"}});
        ASSERT_NE(Run(RecordBuilder().MyPrefix("DL").MyContinent("EU")), 0u);
        ASSERT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
    }

    // Scored by the rules: the points, the same when recorded, a duplicate
    // the second time, and a valid (here: empty, as no table lists these
    // calls) exchange.
    void ExpectScored(const char* what, const TPluginRecord& r, std::int32_t points) {
        SCOPED_TRACE(what);
        EXPECT_EQ(module_->GetScore(&r), points);
        EXPECT_EQ(module_->AddQSO(&r), points);
        EXPECT_EQ(module_->AddQSO(&r), -1);
        std::array<unsigned char, 256> receiving;
        receiving.fill(0xCC);
        module_->GrabNumber(&r, receiving.data());
        EXPECT_EQ(receiving[0], 0);
    }
};

TEST_F(BadRecord, ControlCharactersAndHighBytesScoreByTheRules) {
    const std::vector<BadQSO> cases = {
        // The prefix is trimmed of codes 0 to 32 before the home test.
        {"prefix YO wrapped in control characters",
         RecordBuilder().Call("YO2XYZ").Band("7").Mode("CW").Continent("EU").Prefix("\x01YO\x1f"),
         8},
        {"prefix of NUL bytes trims to nothing",
         RecordBuilder().Call("XX1A").Band("7").Mode("CW").Continent("EU").Prefix("\0\0"s), 2},
        {"prefix of high bytes, continent of high bytes",
         RecordBuilder()
             .Call("\xd8\xcf\xff")
             .Band("14")
             .Mode("CW")
             .Continent("\xe5\xf5")
             .Prefix("\xd9\xcf"),
         4},
        {"band and mode of control characters",
         RecordBuilder()
             .Call("F5XYZ")
             .Band("\x01\x02\x7f")
             .Mode("\x1b[2J")
             .Continent("EU")
             .Prefix("F"),
         2},
        {"band of high bytes, mode of NULs",
         RecordBuilder().Call("F5XYZ").Band("\xb1\xb4").Mode("\0\0\0"s).Continent("EU").Prefix("F"),
         2},
        {"continent not trimmed: a blank before EU is another continent",
         RecordBuilder().Call("OK1ABC").Band("14").Mode("CW").Continent(" EU").Prefix("OK"), 4},
        {"own prefix behind control characters is the own country",
         RecordBuilder().Call("DL2ABC").Band("21").Mode("CW").Continent("eu").Prefix("\tdl\r"), 1},
        {"exchange of high bytes ending in a county code",
         RecordBuilder()
             .Call("YO3ABC")
             .Band("3.5")
             .Mode("CW")
             .Continent("EU")
             .Prefix("YO")
             .Exchange("599\xff\x01"
                       "AB"),
         8},
        {"call of 255 high bytes",
         RecordBuilder()
             .Call(std::string(300, '\xff'))
             .Band("28")
             .Mode("CW")
             .Continent("NA")
             .Prefix("K"),
         4},
    };
    for (const BadQSO& c : cases)
        ExpectScored(c.what, c.record.Get(), c.points);

    // All of them counted, plus the log's one row; the score line is whole.
    EXPECT_EQ(TotalQSOs(), QString::number(cases.size() + 1));
    EXPECT_TRUE(ScoreLine().startsWith(QStringLiteral("Score: "))) << ScoreLine().toStdString();
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();

    // Both windows draw the garbage they now hold.
    Click("RzBitBtn2");
    ASSERT_NE(MultipliersWindow(), nullptr);
    EXPECT_FALSE(Window()->grab().isNull());
    EXPECT_FALSE(MultipliersWindow()->grab().isNull());
}

TEST_F(BadRecord, LengthBytesOf255OverGarbage) {
    const RecordBuilder sane = RecordBuilder().MyPrefix("DL").MyContinent("EU");
    // Same garbage in the QSO's and the operator's own fields: same continent,
    // same country, one point.
    ExpectScored("everything 0xA5", AllLengths255(0xA5, sane.Get()), 1);
    // Garbage against a sane operator: another continent.
    TPluginRecord r = AllLengths255(0x00, sane.Get());
    WriteShortText(r.MyContinent, "EU");
    WriteShortText(r.MyDXCCPrefix, "DL");
    ExpectScored("everything NUL", r, 4);
    // A continent of 255 blanks is not EU either, and a prefix of 255 blanks
    // trims to nothing, which is no home prefix.
    r = AllLengths255(' ', sane.Get());
    WriteShortText(r.MyContinent, "EU");
    ExpectScored("everything blank", r, 4);
    // The band texts are kept as they came: 255 bytes each, shown nowhere
    // but in the totals.
    EXPECT_EQ(TotalQSOs(), QStringLiteral("4"));
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
}

TEST_F(BadRecord, GrabNumberWithGarbageKeepsTheSlotValid) {
    // A listed call, then the same call with 255 bytes of garbage after it.
    std::array<unsigned char, 256> receiving;
    const RecordBuilder listed = RecordBuilder().Call("YO5ZAA").Prefix("YO");
    module_->GrabNumber(listed.Ptr(), receiving.data());
    ASSERT_EQ(std::string(reinterpret_cast<char*>(&receiving[1]), receiving[0]), "AB");

    // The call's length byte says 255: the listed call is only its start.
    TPluginRecord r = listed.Get();
    r.CallSign.length = 255;
    std::memset(r.CallSign.chars + 6, 0xA5, sizeof r.CallSign.chars - 6);
    receiving.fill(0xCC);
    module_->GrabNumber(&r, receiving.data());
    EXPECT_EQ(receiving[0], 0);
    // Every slot 255 characters of '=': a call made of the separator.
    r = AllLengths255('=', listed.Get());
    WriteShortText(r.DXCCPrefix, "YO");
    receiving.fill(0xCC);
    module_->GrabNumber(&r, receiving.data());
    EXPECT_EQ(receiving[0], 0);
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
}

// A TableName that is SQL: the replay refuses it with a clear error and the
// host's log stays exactly as it was; the next record with the real name
// replays it again.
TEST_F(BadRecord, TableNameThatIsSQLIsRefused) {
    QSqlQuery q(log_->Db());
    ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE Other (ID INTEGER PRIMARY KEY, Note TEXT)")));
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO Other (Note) VALUES ('keep me')")));
    const QString contents = LogContents(log_->Db());
    const QByteArray bytes = FileBytes(log_->Path());

    const std::vector<std::string> names = {
        "Log; DROP TABLE Log",
        "Log order by 1; DELETE FROM Log; --",
        "Log; DROP TABLE Other; --",
        "Log WHERE 1=0 UNION SELECT * FROM Log",
        "(SELECT * FROM Log)",
        "\"Log\"; DROP TABLE Other",
        "\"Log\"\"; DROP TABLE Other; --\"",
        "Log--",
        "Log\0; DROP TABLE Other"s,
        "Log\n; DROP TABLE Other",
        "sqlite_master",
        "",
        std::string(255, '\''),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        const RecordBuilder injected =
            RecordBuilder().Table(name).Call("G4ABC").Band("7").Mode("CW").Continent("EU").Prefix(
                "G");
        EXPECT_EQ(module_->AddQSO(injected.Ptr()), 2);
        const qsizetype before = BoxCount();
        Click("RzBitBtn1");
        EXPECT_EQ(BoxCount(), before + 1) << "refused without an error: " << name;
        EXPECT_FALSE(BoxesSince(before).trimmed().isEmpty());
        EXPECT_EQ(LogContents(log_->Db()), contents);
        ASSERT_NE(Window(), nullptr);
        EXPECT_TRUE(Window()->isVisible());
    }
    EXPECT_EQ(FileBytes(log_->Path()), bytes) << "the module wrote to the host's log";

    // The real name again: the log's one row is back, and the failed
    // replays left nothing counted.
    const RecordBuilder real =
        RecordBuilder().Call("G4ABC").Band("7").Mode("CW").Continent("EU").Prefix("G");
    EXPECT_EQ(module_->GetScore(real.Ptr()), 2);
    const qsizetype before = BoxCount();
    Click("RzBitBtn1");
    EXPECT_EQ(BoxesSince(before), QString());
    EXPECT_EQ(TotalQSOs(), QStringLiteral("1"));
}

// The first _Run already replays under the record's TableName: the window
// opens all the same, with the error shown.
TEST(BadRecordAtRun, InjectedTableNameAtTheFirstRun) {
    MessageBoxCatcher boxes;
    TempSqliteLog log;
    log.Insert({{"YO5ZAA", "14", "CW", "EU", "599AB", "YO", "YO5"}});
    const QString contents = LogContents(log.Db());
    LoadedModule module(LoadedModule::DefaultPath());
    const RecordBuilder host = RecordBuilder().Table("Log; DROP TABLE Log");
    EXPECT_NE(module.Run(0, host.Ptr()), 0u);
    EXPECT_EQ(boxes.Texts().size(), 1) << boxes.Texts().join('\n').toStdString();
    EXPECT_EQ(LogContents(log.Db()), contents);
    QWidget* window = TopLevel(QStringLiteral("fmMainForm"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    module.Release();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
