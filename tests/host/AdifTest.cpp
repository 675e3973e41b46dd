#include "formats/AdifImporter.h"
#include "formats/AdifReader.h"
#include "formats/AdifWriter.h"
#include "reference/CountryFile.h"
#include "logbook/LogBook.h"
#include "TempSqliteLog.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace qarvel;
using zelmar::testing::TempSqliteLog;

namespace {

const CountryFile& Countries() {
    static const CountryFile file = [] {
        CountryFile f;
        f.Load(CountryFile::kDefaultPath);
        return f;
    }();
    return file;
}

// A log of its own connection, away from the module's.
class AdifImport : public ::testing::Test {
protected:
    AdifImport() : log_(7), book_(QStringLiteral("qarvel-log-7"), QStringLiteral("Log")) {}

    int Rows() { return book_.Count(); }

    TempSqliteLog log_;
    LogBook book_;
};

constexpr const char kGoodFile[] =
    "Contest log written by hand\n"
    "<ADIF_VER:5>3.1.4 <PROGRAMID:4>test\n"
    "<EOH>\n"
    "<CALL:6>YO5ZAA <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205\n"
    "<RST_SENT:3>599 <RST_RCVD:3>599 <SRX_STRING:2>AB <EOR>\n"
    "<call:6:s>dl1abc <freq:6>7.0255 <mode:3>SSB <qso_date:8>20240309 <time_on:6>120730\n"
    "<rst_rcvd:2>59 <srx:3>017 <stx_string:2>BU <rst_sent:2>59 <eor>\n"
    "<CALL:9>KH6/W1ABC <BAND:3>15M <MODE:2>CW <QSO_DATE:8>20240310 <TIME_ON:4>0001 "
    "<COMMENT:9>a <b> c d <EOR>\n";

TEST_F(AdifImport, WellFormedFileBecomesRows) {
    const AdifImportReport report = AdifImporter(Countries()).Import(kGoodFile, book_);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.imported, 3);
    EXPECT_TRUE(report.skipped.empty());

    const auto rows = book_.ReadAll(nullptr);
    ASSERT_TRUE(rows && rows->size() == 3);
    const QsoRow& yo = (*rows)[0];
    EXPECT_EQ(yo.call, "YO5ZAA");
    EXPECT_EQ(yo.band, "14");
    EXPECT_EQ(yo.date, "2024-03-09");
    EXPECT_EQ(yo.time, "12:05:00");
    EXPECT_EQ(yo.received, "599 AB"); // RST_RCVD and SRX_STRING joined by a blank
    EXPECT_EQ(yo.sent, "599");
    EXPECT_EQ(yo.dxccPrefix, "YO");
    EXPECT_EQ(yo.continent, "EU");

    const QsoRow& dl = (*rows)[1];
    EXPECT_EQ(dl.call, "DL1ABC"); // lower-case tags and data, a type indicator
    EXPECT_EQ(dl.band, "7");      // from FREQ, no BAND given
    EXPECT_EQ(dl.frequency, "7.0255");
    EXPECT_EQ(dl.time, "12:07:30");
    EXPECT_EQ(dl.received, "59 017"); // SRX when there is no SRX_STRING
    EXPECT_EQ(dl.sent, "59 BU");
    EXPECT_EQ(dl.dxccPrefix, "DL");

    const QsoRow& kh6 = (*rows)[2];
    EXPECT_EQ(kh6.band, "21");        // band names in any case
    EXPECT_EQ(kh6.dxccPrefix, "KH6"); // portable prefix decides
    EXPECT_EQ(kh6.continent, "OC");
    EXPECT_EQ(kh6.received, "");
}

struct BrokenRecord {
    const char* name;
    const char* record; // one record, placed second in a file of three
    const char* reason; // a part of the reason given
};

class AdifBrokenRecord : public AdifImport, public ::testing::WithParamInterface<BrokenRecord> {};

TEST_P(AdifBrokenRecord, IsSkippedAndNamedWithItsPosition) {
    const QByteArray good1 =
        "<CALL:6>YO5ZAA <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>\n";
    const QByteArray good3 =
        "<CALL:6>YO7ZAB <BAND:3>40m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1206 <EOR>\n";
    const QByteArray file = "header\n<EOH>\n" + good1 + "\n" + GetParam().record + "\n" + good3;

    const AdifImportReport report = AdifImporter(Countries()).Import(file, book_);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].position.record, 2);
    EXPECT_EQ(report.skipped[0].position.line, 5);
    EXPECT_TRUE(report.skipped[0].reason.contains(QLatin1String(GetParam().reason)))
        << report.skipped[0].reason.toStdString();
    EXPECT_TRUE(report.skipped[0].Describe().startsWith("record 2 (line 5): "));
    EXPECT_EQ(Rows(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Records, AdifBrokenRecord,
    ::testing::Values(
        BrokenRecord{"NoCall", "<BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
                     "no CALL"},
        BrokenRecord{
            "NotACall",
            "<CALL:5>HELLO <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
            "not a call sign"},
        BrokenRecord{"NoBand",
                     "<CALL:6>DL1ABC <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
                     "no BAND or FREQ"},
        BrokenRecord{
            "BandOutsideHf",
            "<CALL:6>DL1ABC <BAND:2>6m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
            "BAND 6m"},
        BrokenRecord{
            "FreqOutsideHf",
            "<CALL:6>DL1ABC <FREQ:6>50.100 <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
            "outside the HF bands"},
        BrokenRecord{"FreqNotInBand",
                     "<CALL:6>DL1ABC <BAND:3>20m <FREQ:5>7.025 <MODE:2>CW <QSO_DATE:8>20240309 "
                     "<TIME_ON:4>1205 <EOR>",
                     "does not lie in BAND"},
        BrokenRecord{"NoMode",
                     "<CALL:6>DL1ABC <BAND:3>20m <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
                     "no MODE"},
        BrokenRecord{
            "BadDate",
            "<CALL:6>DL1ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20241332 <TIME_ON:4>1205 <EOR>",
            "QSO_DATE 20241332"},
        BrokenRecord{"NoTime", "<CALL:6>DL1ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <EOR>",
                     "no TIME_ON"},
        BrokenRecord{
            "BadTime",
            "<CALL:6>DL1ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>2561 <EOR>",
            "TIME_ON 2561"},
        BrokenRecord{
            "LengthNotANumber",
            "<CALL:x>DL1ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
            "valid length"},
        BrokenRecord{
            "TagWithoutLength",
            "<CALL>DL1ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>",
            "has no length"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdifImport, TheFileEndingInsideARecordSkipsOnlyThatRecord) {
    struct Case {
        const char* tail;
        const char* reason;
    };
    const Case cases[] = {
        {"<CALL:6>DL1ABC <BAND:3>20m", "before the record's <EOR>"},
        {"<CALL:6>DL1ABC <BAND:30>20m", "runs past the end"},
        {"<CALL:6>DL1ABC <BAND:3", "not closed"},
    };
    for (const Case& c : cases) {
        const QByteArray file = QByteArray("<CALL:6>YO5ZAA <BAND:3>20m <MODE:2>CW "
                                           "<QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>\n") +
                                c.tail;
        const AdifContents contents = ReadAdif(file);
        ASSERT_EQ(contents.records.size(), 1u) << c.tail;
        ASSERT_EQ(contents.problems.size(), 1u) << c.tail;
        EXPECT_EQ(contents.problems[0].position.record, 2) << c.tail;
        EXPECT_EQ(contents.problems[0].position.line, 2) << c.tail;
        EXPECT_TRUE(contents.problems[0].reason.contains(QLatin1String(c.reason)))
            << contents.problems[0].reason.toStdString();
    }
}

TEST_F(AdifImport, EveryBadRecordIsReportedInFileOrder) {
    const QByteArray file =
        "<CALL:6>YO5ZAA <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>\n"
        "<CALL:6>DL1ABC <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 <EOR>\n"
        "<CALL:x>DL1ABC <EOR>\n"
        "<CALL:6>DL2ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1207 <EOR>\n"
        "<CALL:6>DL3ABC <BAND:3>20m <MODE:2>CW <QSO_DATE:8>20240309";
    const AdifImportReport report = AdifImporter(Countries()).Import(file, book_);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.skipped.size(), 3u);
    EXPECT_EQ(report.skipped[0].position.record, 2);
    EXPECT_EQ(report.skipped[1].position.record, 3);
    EXPECT_EQ(report.skipped[2].position.record, 5);
    EXPECT_EQ(report.skipped[2].position.line, 5);
}

TEST_F(AdifImport, AFailureInsideTheTransactionImportsNothing) {
    // The database refuses the third QSO, after two were written.
    QSqlQuery q(log_.Db());
    ASSERT_TRUE(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Log WHEN NEW.CallSign = 'KH6/W1ABC' "
                       "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
    const AdifImportReport report = AdifImporter(Countries()).Import(kGoodFile, book_);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.imported, 0);
    EXPECT_TRUE(report.error.contains("refused by the test")) << report.error.toStdString();
    EXPECT_EQ(Rows(), 0);
}

TEST_F(AdifImport, StoppingThroughTheProgressImportsNothing) {
    int calls = 0;
    const AdifImportReport report =
        AdifImporter(Countries()).Import(kGoodFile, book_, [&](int done, int total) {
            ++calls;
            EXPECT_EQ(total, 3);
            return done < 2;
        });
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(AdifImport, ExportedLogReadsBackTheSame) {
    ASSERT_TRUE(AdifImporter(Countries()).Import(kGoodFile, book_).ok);
    const auto before = book_.ReadAll(nullptr);
    ASSERT_TRUE(before);
    const QByteArray exported = WriteAdif(*before, QStringLiteral("1.0"));
    EXPECT_TRUE(exported.contains("<CALL:6>YO5ZAA "));
    EXPECT_TRUE(exported.contains("<RST_RCVD:3>599 <SRX_STRING:2>AB "));
    EXPECT_TRUE(exported.contains("<BAND:3>40m <FREQ:6>7.0255 "));
    // A sent serial goes as the plain number in STX too, beside the text.
    qarvel::QsoRow numbered;
    numbered.call = QStringLiteral("DL1ABC");
    numbered.sent = QStringLiteral("599 007");
    const QByteArray serial = WriteAdif({numbered}, QStringLiteral("1.0"));
    EXPECT_TRUE(serial.contains("<STX_STRING:3>007 <STX:1>7 ")) << serial.toStdString();
    EXPECT_FALSE(exported.contains("<STX:"));

    QSqlQuery q(log_.Db());
    ASSERT_TRUE(q.exec("DELETE FROM Log"));
    const AdifImportReport again = AdifImporter(Countries()).Import(exported, book_);
    ASSERT_TRUE(again.ok);
    EXPECT_TRUE(again.skipped.empty());
    auto after = book_.ReadAll(nullptr);
    ASSERT_TRUE(after);
    // ADIF carries no ids: the QSOs imported again are QSOs of their own.
    std::vector<qarvel::QsoRow> expected = *before;
    ASSERT_EQ(after->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NE((*after)[i].qsoId, expected[i].qsoId);
        (*after)[i].qsoId = expected[i].qsoId;
    }
    EXPECT_EQ(*after, expected);
}

TEST(AdifReader, FieldDataIsTakenByLengthNotByMarkup) {
    const AdifContents c = ReadAdif("<CALL:6>DL1ABC<COMMENT:7><EOR>x><NOTES:0><EOR>");
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0].fields.value("COMMENT"), "<EOR>x>");
    EXPECT_EQ(c.records[0].fields.value("NOTES"), "");
}

TEST(AdifReader, HeaderFieldsBeforeEohAreNoRecord) {
    const AdifContents c =
        ReadAdif("<ADIF_VER:5>3.1.4<EOH>\n<CALL:6>DL1ABC<EOR>\n<CALL:6>DL2ABC<EOR>\n");
    ASSERT_EQ(c.records.size(), 2u);
    EXPECT_EQ(c.records[0].position.record, 1);
    EXPECT_EQ(c.records[0].position.line, 2);
    EXPECT_EQ(c.records[1].position.line, 3);
    EXPECT_TRUE(c.problems.empty());
}

TEST(AdifReader, EmptyOrHeaderOnlyFileHoldsNothing) {
    for (const char* text : {"", "just a header", "header <EOH>\n"}) {
        const AdifContents c = ReadAdif(text);
        EXPECT_TRUE(c.records.empty()) << text;
        EXPECT_TRUE(c.problems.empty()) << text;
    }
}

} // namespace
