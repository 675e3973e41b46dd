#include "formats/CabrilloReader.h"
#include "formats/CabrilloWriter.h"
#include "contest/ScoreLine.h"
#include "logbook/SubmissionDetails.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace qarvel;

namespace {

QsoRow Row(const char* date, const char* time, const char* call, const char* band, const char* mode,
           const char* sent, const char* received, const char* freq = "") {
    QsoRow r;
    r.date = date;
    r.time = time;
    r.call = call;
    r.band = band;
    r.mode = mode;
    r.sent = sent;
    r.received = received;
    r.frequency = freq;
    return r;
}

TEST(Cabrillo, SmallLogLineByLine) {
    const CabrilloHeader header{CabrilloContestName("Zelmar Contest"), "YO3ZZZ", 322,
                                "qarvel 1.0.0", {}};
    const std::vector<QsoRow> rows = {
        Row("2024-03-09", "12:05:10", "YO5ZAA", "14", "CW", "599 BU", "599 AB"),
        Row("2024-03-09", "12:07:30", "DL1ABC", "7", "SSB", "59 BU", "59 017", "7.0655"),
        Row("2024-03-09", "23:59:59", "W1AW", "1.8", "CW", "599 BU", "5NN"),
        Row("2024-03-10", "00:00:00", "JA1ABC", "21", "FT8", "", "-10"),
    };
    const QString text = WriteCabrillo(header, rows);
    ASSERT_TRUE(text.endsWith("\r\n"));
    const QStringList lines = text.chopped(2).split("\r\n");
    const QStringList expected = {
        "START-OF-LOG: 3.0",
        "CREATED-BY: qarvel 1.0.0",
        "CONTEST: ZELMAR-CONTEST",
        "CALLSIGN: YO3ZZZ",
        "CATEGORY-BAND: ALL",
        "CATEGORY-MODE: MIXED",
        "CLAIMED-SCORE: 322",
        "QSO: 14000 CW 2024-03-09 1205 YO3ZZZ        599 BU     YO5ZAA        599 AB",
        "QSO:  7066 PH 2024-03-09 1207 YO3ZZZ        59  BU     DL1ABC        59  017",
        "QSO:  1800 CW 2024-03-09 2359 YO3ZZZ        599 BU     W1AW          5NN",
        "QSO: 21000 DG 2024-03-10 0000 YO3ZZZ        599        JA1ABC        599 -10",
        "END-OF-LOG:",
    };
    ASSERT_EQ(lines.size(), expected.size()) << text.toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}

SubmissionDetails Details(std::initializer_list<std::pair<const char*, const char*>> tags) {
    SubmissionDetails d;
    for (const auto& [tag, value] : tags) {
        QString error;
        EXPECT_TRUE(d.Set(tag, value, &error)) << tag << ": " << error.toStdString();
    }
    return d;
}

// Every header given, the QSOs put into time order, and the transmitter
// column numbered by first appearance of each position.
TEST(Cabrillo, MultiTransmitterLogWithEveryHeader) {
    const SubmissionDetails d = Details({{"CATEGORY-OPERATOR", "multi-op"},
                                         {"CATEGORY-ASSISTED", "NON-ASSISTED"},
                                         {"CATEGORY-POWER", "LOW"},
                                         {"CATEGORY-STATION", "FIXED"},
                                         {"CATEGORY-TRANSMITTER", "TWO"},
                                         {"OPERATORS", "yo3zzz  yo3aaa @YO3ZZZ"},
                                         {"NAME", "Ion Popescu"},
                                         {"ADDRESS", "Str. Lunga 1"},
                                         {"ADDRESS", "Bucuresti"},
                                         {"EMAIL", "yo3zzz@example.org"},
                                         {"CLUB", "Radio Club Zelmar"},
                                         {"LOCATION", "BU"},
                                         {"SOAPBOX", "Good fun."},
                                         {"SOAPBOX", "Thanks to all."},
                                         {"PERIOD-START", "2024-03-09 12:00"}});
    const CabrilloHeader header{"ZELMAR-CONTEST", "YO3ZZZ", 120, "qarvel 1.0.0", d};
    auto row = [](const char* time, const char* call, const char* band, const char* position) {
        QsoRow r = Row("2024-03-09", time, call, band, "CW", "599 BU", "599 AB");
        r.position = position;
        return r;
    };
    // Entered out of time order by two positions.
    const std::vector<QsoRow> rows = {row("12:10:00", "YO5ZAA", "14", "RUN"),
                                      row("12:02:00", "DL1ABC", "7", "MULT"),
                                      row("12:05:00", "YO7ZAB", "14", "RUN"),
                                      row("12:05:00", "F5ABC", "7", "MULT")};
    const QStringList lines = WriteCabrillo(header, rows).chopped(2).split("\r\n");
    const QStringList expected = {
        "START-OF-LOG: 3.0",
        "CREATED-BY: qarvel 1.0.0",
        "CONTEST: ZELMAR-CONTEST",
        "CALLSIGN: YO3ZZZ",
        "CATEGORY-OPERATOR: MULTI-OP",
        "CATEGORY-ASSISTED: NON-ASSISTED",
        "CATEGORY-BAND: ALL",
        "CATEGORY-MODE: CW",
        "CATEGORY-POWER: LOW",
        "CATEGORY-STATION: FIXED",
        "CATEGORY-TRANSMITTER: TWO",
        "CLAIMED-SCORE: 120",
        "OPERATORS: YO3ZZZ YO3AAA @YO3ZZZ",
        "NAME: Ion Popescu",
        "ADDRESS: Str. Lunga 1",
        "ADDRESS: Bucuresti",
        "EMAIL: yo3zzz@example.org",
        "CLUB: Radio Club Zelmar",
        "LOCATION: BU",
        "SOAPBOX: Good fun.",
        "SOAPBOX: Thanks to all.",
        "X-PERIOD-START: 2024-03-09 12:00",
        "QSO:  7000 CW 2024-03-09 1202 YO3ZZZ        599 BU     DL1ABC        599 AB     0",
        "QSO: 14000 CW 2024-03-09 1205 YO3ZZZ        599 BU     YO7ZAB        599 AB     1",
        "QSO:  7000 CW 2024-03-09 1205 YO3ZZZ        599 BU     F5ABC         599 AB     0",
        "QSO: 14000 CW 2024-03-09 1210 YO3ZZZ        599 BU     YO5ZAA        599 AB     1",
        "END-OF-LOG:",
    };
    ASSERT_EQ(lines.size(), expected.size()) << lines.join('\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}

TEST(Cabrillo, FileIsNamedAfterTheCall) {
    EXPECT_EQ(CabrilloFileName("yo3zzz"), "YO3ZZZ.cbr");
    EXPECT_EQ(CabrilloFileName("YO3ZZZ/P"), "YO3ZZZ_P.cbr");
    EXPECT_EQ(CabrilloFileName(" "), "log.cbr");
}

// What qarvel writes, its Cabrillo import reads back: the rows as logged
// (the transmitter column left off) and every detail the header carries.
TEST(Cabrillo, ReadsBackWhatItWrites) {
    SubmissionDetails d = Details({{"CATEGORY-OPERATOR", "MULTI-OP"},
                                   {"CATEGORY-TRANSMITTER", "TWO"},
                                   {"CATEGORY-POWER", "LOW"},
                                   {"OPERATORS", "YO3ZZZ YO3AAA"},
                                   {"ADDRESS", "Str. Lunga 1"},
                                   {"ADDRESS", "Bucuresti"},
                                   {"SOAPBOX", "Good fun."},
                                   {"PERIOD-START", "2024-03-09 12:00"},
                                   {"PERIOD-END", "2024-03-10 11:59"}});
    const std::vector<QsoRow> rows = {
        Row("2024-03-09", "12:02:00", "DL1ABC", "7", "CW", "599 BU", "599 001", "7.025"),
        Row("2024-03-09", "12:05:00", "YO7ZAB", "14", "SSB", "59 BU", "59 AG"),
        Row("2024-03-09", "12:06:00", "F5ABC", "10", "CW", "599 BU", "599"),
        Row("2024-03-09", "12:07:00", "W1AW", "28", "CW", "599 BU", "599 1")};
    const QString text =
        WriteCabrillo(CabrilloHeader{"ZELMAR-CONTEST", "YO3ZZZ", 99, "qarvel 1.0.0", d}, rows);
    ASSERT_TRUE(LooksLikeCabrillo(text.toUtf8()));
    const CabrilloContents read = ReadCabrillo(text.toUtf8());
    EXPECT_TRUE(read.problems.empty()) << read.problems.front().Describe().toStdString();
    EXPECT_EQ(read.callsign, "YO3ZZZ");
    d.categoryBand = "ALL"; // written as the log's, read as declared
    EXPECT_EQ(read.details, d) << text.toStdString();
    ASSERT_EQ(read.qsos.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(read.qsos[i].row, rows[i]) << read.qsos[i].row.call.toStdString();
        EXPECT_EQ(read.qsos[i].sentCall, "YO3ZZZ");
    }
}

// Every line that cannot be read is named by its number; the others come in.
TEST(Cabrillo, MalformedLinesAreNamedByNumber) {
    const QByteArray text = "\n  start-of-log: 3.0\r\n"
                            "CALLSIGN: YO3ZZZ\n"
                            "CATEGORY-POWER: 100W\n"
                            "CATEGORY-OPERATOR: single-op\n"
                            "X-NAME: not ours\n"
                            "QSO: 14025 CW 2024-03-09 1200 YO3ZZZ 599 BU DL1ABC 599 001\n"
                            "QSO: 14025 XX 2024-03-09 1201 YO3ZZZ 599 BU DL1ABC 599 002\n"
                            "QSO: 14025 CW 2024-03-32 1202 YO3ZZZ 599 BU DL1ABC 599 003\n"
                            "QSO: 14025 CW 2024-03-09 2460 YO3ZZZ 599 BU DL1ABC 599 004\n"
                            "QSO: 50100 CW 2024-03-09 1203 YO3ZZZ 599 BU DL1ABC 599 005\n"
                            "QSO: 21000 PH 2024-03-09 1204 YO3ZZZ 59 BU 5NN 59 006\n"
                            "QSO: 14025 CW 2024-03-09\n"
                            "just words\n"
                            "QSO: 28450 PH 2024-03-09 1205 YO3ZZZ 59 BU YO5ZAA 59 AB\n"
                            "END-OF-LOG:\n"
                            "QSO: 28450 PH 2024-03-09 1206 YO3ZZZ 59 BU YO7ZAB 59 AG\n";
    ASSERT_TRUE(LooksLikeCabrillo(text));
    EXPECT_TRUE(LooksLikeCabrillo("\xEF\xBB\xBFSTART-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n"));
    EXPECT_TRUE(ReadCabrillo("\xEF\xBB\xBFSTART-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n").problems.empty());
    EXPECT_FALSE(LooksLikeCabrillo("<ADIF_VER:5>3.1.4 <EOH>\nSTART-OF-LOG: 3.0\n"));
    const CabrilloContents read = ReadCabrillo(text);
    QStringList problems;
    for (const CabrilloProblem& p : read.problems)
        problems << p.Describe().section(':', 0, 0);
    EXPECT_EQ(problems.join(',').toStdString(),
              "line 4,line 8,line 9,line 10,line 11,line 12,line 13,line 14,line 17");
    EXPECT_EQ(read.details.categoryOperator, "SINGLE-OP");
    EXPECT_TRUE(read.details.name.isEmpty());
    ASSERT_EQ(read.qsos.size(), 2u);
    EXPECT_EQ(read.qsos[0].line, 7);
    EXPECT_EQ(read.qsos[0].row.frequency, "14.025");
    EXPECT_EQ(read.qsos[1].row.band, "28");
    EXPECT_EQ(read.qsos[1].row.mode, "SSB");
    EXPECT_EQ(read.qsos[1].row.received, "59 AB");
}

// One band logged: that band, and a one-transmitter entry has no column.
TEST(Cabrillo, SingleBandLogLineByLine) {
    const CabrilloHeader header{"ZELMAR-CONTEST", "YO3ZZZ", 16, "qarvel 1.0.0",
                                Details({{"CATEGORY-OPERATOR", "SINGLE-OP"},
                                         {"CATEGORY-TRANSMITTER", "ONE"},
                                         {"CATEGORY-POWER", "QRP"}})};
    QsoRow second = Row("2024-03-09", "12:01:00", "YO7ZAB", "3.5", "SSB", "59 BU", "59 AG", "3.7");
    second.position = "RUN2";
    const QStringList lines =
        WriteCabrillo(header, {Row("2024-03-09", "12:00:00", "YO5ZAA", "3.5", "SSB", "59 BU",
                                   "59 AB", "3.65"),
                               second})
            .chopped(2)
            .split("\r\n");
    EXPECT_EQ(lines, QStringList({
                         "START-OF-LOG: 3.0",
                         "CREATED-BY: qarvel 1.0.0",
                         "CONTEST: ZELMAR-CONTEST",
                         "CALLSIGN: YO3ZZZ",
                         "CATEGORY-OPERATOR: SINGLE-OP",
                         "CATEGORY-BAND: 80M",
                         "CATEGORY-MODE: SSB",
                         "CATEGORY-POWER: QRP",
                         "CATEGORY-TRANSMITTER: ONE",
                         "CLAIMED-SCORE: 16",
                         "QSO:  3650 PH 2024-03-09 1200 YO3ZZZ        59  BU     YO5ZAA        59  AB",
                         "QSO:  3700 PH 2024-03-09 1201 YO3ZZZ        59  BU     YO7ZAB        59  AG",
                         "END-OF-LOG:",
                     }))
        << lines.join('\n').toStdString();
}

// What a robot would refuse never gets into the details.
TEST(Cabrillo, DetailsRefuseWhatARobotWouldReject) {
    SubmissionDetails d;
    QString error;
    EXPECT_FALSE(d.Set("NAME", "Ion\nPopescu", &error));
    EXPECT_TRUE(error.contains("line break")) << error.toStdString();
    EXPECT_FALSE(d.Set("CLUB", QString::fromUtf8("Radioclubul Ploie\u0219ti"), &error));
    EXPECT_TRUE(error.contains("ASCII")) << error.toStdString();
    EXPECT_FALSE(d.Set("CATEGORY-POWER", "MEDIUM", &error));
    EXPECT_FALSE(d.Set("PERIOD-END", "tomorrow", &error));
    EXPECT_FALSE(d.Set("QTH", "Bucuresti", &error));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(d.Set("ADDRESS", QString("line %1").arg(i), &error));
    EXPECT_FALSE(d.Set("ADDRESS", "a seventh", &error));
    EXPECT_TRUE(d.name.isEmpty() && d.club.isEmpty() && d.categoryPower.isEmpty());
}

TEST(Cabrillo, CategoriesFollowTheQsos) {
    const CabrilloHeader header{"ZELMAR-CONTEST", "YO3ZZZ", 8, "qarvel", {}};
    const QString cw = WriteCabrillo(
        header, {Row("2024-03-09", "12:00:00", "YO5ZAA", "14", "CW", "599", "599 AB")});
    EXPECT_TRUE(cw.contains("\r\nCATEGORY-BAND: 20M\r\n"));
    EXPECT_TRUE(cw.contains("\r\nCATEGORY-MODE: CW\r\n"));
    const QString ssb = WriteCabrillo(
        header, {Row("2024-03-09", "12:00:00", "YO5ZAA", "3.5", "SSB", "59", "59 AB"),
                 Row("2024-03-09", "12:01:00", "YO7ZAB", "3.5", "USB", "59", "59 AG")});
    EXPECT_TRUE(ssb.contains("\r\nCATEGORY-BAND: 80M\r\n"));
    EXPECT_TRUE(ssb.contains("\r\nCATEGORY-MODE: SSB\r\n"));
}

TEST(Cabrillo, LogTextIsNeverReadAsMarkup) {
    const CabrilloHeader header{"ZELMAR-CONTEST", "YO3ZZZ", 1, "qarvel", {}};
    const QString text = WriteCabrillo(
        header, {Row("2024-03-09", "12:00:00", "DL1ABC", "14", "CW", "599 %1", "599 %9")});
    EXPECT_TRUE(text.contains("599 %1")) << text.toStdString();
    EXPECT_TRUE(text.contains("599 %9")) << text.toStdString();
}

TEST(Cabrillo, ModesMapToCabrilloModes) {
    const std::pair<const char*, const char*> cases[] = {
        {"CW", "CW"}, {"ssb", "PH"},  {"LSB", "PH"},   {"AM", "PH"},
        {"FM", "FM"}, {"RTTY", "RY"}, {"PSK31", "DG"}, {"FT8", "DG"}};
    for (const auto& [mode, cabrillo] : cases)
        EXPECT_EQ(CabrilloMode(mode), cabrillo) << mode;
}

TEST(ScoreLineText, ReadsTheFiguresOfTheScoreLine) {
    const auto s = ScoreLine::Parse("Score: 120*(5+7)=1440");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->points, 120);
    EXPECT_EQ(s->countyMultipliers, 5);
    EXPECT_EQ(s->dxccMultipliers, 7);
    EXPECT_EQ(s->score, 1440);
    // 32-bit products that wrapped are read as they stand.
    EXPECT_EQ(ScoreLine::Parse("Score: 70000*(20000+20000)=-1494967296")->score, -1494967296LL);
    for (const char* bad : {"", "Score:", "Score: 1*(2+3)", "Score: a*(1+2)=3", "Total: 1*(1+1)=2"})
        EXPECT_FALSE(ScoreLine::Parse(bad)) << bad;
}

} // namespace
