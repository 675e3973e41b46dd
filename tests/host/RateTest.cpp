// Rates, time on and time off on logs whose answers are known, and the
// off-time findings of the whole-log check.

#include "contest/OffTimeCheck.h"
#include "contest/RateMeter.h"
#include "logbook/SubmissionDetails.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <deque>
#include <string>
#include <vector>

using namespace qarvel;

namespace {

// "2024-03-09 13:59:30" as seconds since the epoch.
qint64 At(const char* text) {
    const QDateTime t = QDateTime(
        QDate::fromString(QString::fromLatin1(text).left(10), QStringLiteral("yyyy-MM-dd")),
        QTime::fromString(QString::fromLatin1(text).mid(11), QStringLiteral("HH:mm:ss")),
        QTimeZone::utc());
    EXPECT_TRUE(t.isValid()) << text;
    return t.toSecsSinceEpoch();
}

struct Qso {
    const char* when;
    const char* band;
};

// `count` QSOs on `band`, one every `step` seconds from `first`.
// The texts live in `texts`, whose elements never move.
std::vector<Qso> Every(std::deque<std::string>& texts, const char* first, int step, int count,
                       const char* band) {
    std::vector<Qso> out;
    for (int i = 0; i < count; ++i) {
        texts.push_back(QDateTime::fromSecsSinceEpoch(At(first) + qint64{i} * step, QTimeZone::utc())
                            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            .toStdString());
        out.push_back({texts.back().c_str(), band});
    }
    return out;
}

struct Case {
    const char* name;
    std::vector<Qso> qsos; // in the order they reach the meter
    int minimumBreak;
    const char* now;
    qint64 timeOn, timeOff;
    std::vector<std::int64_t> breakMinutes;
    double last10 = -1, last100 = -1;
    int last60 = 0, thisHour = 0;
    std::vector<RateMeter::BandCount> lastHourByBand = {};
};

} // namespace

TEST(RateTest, RatesTimeOnAndOffMatchTheKnownAnswers) {
    std::deque<std::string> texts;
    std::vector<Qso> tenPerMinute = Every(texts, "2024-03-09 12:00:00", 60, 10, "14");
    // 09:00 to 11:58, then the ten from 12:00.
    std::vector<Qso> hundred = Every(texts, "2024-03-09 09:00:00", 120, 90, "7");
    for (const Qso& q : tenPerMinute)
        hundred.push_back(q);

    const std::vector<Case> cases = {
        {"a gap of 29 minutes is no break", {{"2024-03-09 12:00:00", "14"}, {"2024-03-09 12:30:00", "14"}},
         30, "2024-03-09 12:30:00", 31, 0, {}, 2, 2, 2, 2, {{"14", 2}}},
        {"a gap of exactly 30 minutes is a break", {{"2024-03-09 12:00:00", "14"}, {"2024-03-09 12:31:00", "7"}},
         30, "2024-03-09 12:31:00", 2, 30, {30}, 3600.0 / 1860, 3600.0 / 1860, 2, 2, {{"14", 1}, {"7", 1}}},
        {"a gap of exactly 60 minutes", {{"2024-03-09 12:00:00", "14"}, {"2024-03-09 13:01:00", "14"}},
         30, "2024-03-09 13:01:00", 2, 60, {60}, 3600.0 / 3660, 3600.0 / 3660, 1, 1, {{"14", 1}}},
        {"1359 then 1459 is 59 minutes", {{"2024-03-09 13:59:00", "14"}, {"2024-03-09 14:59:00", "14"}},
         30, "2024-03-09 15:30:00", 2, 59, {59}, 1, 1, 1, 0, {{"14", 1}}},
        {"1359 then 1459 is short of a 60-minute minimum", {{"2024-03-09 13:59:00", "14"}, {"2024-03-09 14:59:00", "14"}},
         60, "2024-03-09 14:59:00", 61, 0, {}, 1, 1, 1, 1, {{"14", 1}}},
        {"1359 then 1500 is 60 minutes, whatever the seconds", {{"2024-03-09 13:59:59", "14"}, {"2024-03-09 15:00:00", "14"}},
         60, "2024-03-09 15:00:00", 2, 60, {60}, 3600.0 / 3601, 3600.0 / 3601, 1, 1, {{"14", 1}}},
        {"across midnight", {{"2024-03-09 23:59:00", "3.5"}, {"2024-03-10 01:00:00", "3.5"}},
         30, "2024-03-10 01:10:00", 2, 60, {60}, 3600.0 / 3660, 3600.0 / 3660, 1, 1, {{"3.5", 1}}},
        {"a late QSO from another position splits a break in two short gaps",
         {{"2024-03-09 12:00:00", "14"}, {"2024-03-09 13:00:00", "14"}, {"2024-03-09 12:30:00", "7"}},
         30, "2024-03-09 13:00:00", 61, 0, {}, 2, 2, 2, 1, {{"14", 1}, {"7", 1}}},
        {"ten QSOs a minute apart: 60 an hour", tenPerMinute, 30, "2024-03-09 12:09:30", 10, 0, {},
         60, 60, 10, 10, {{"14", 10}}},
        {"the last 100: 90 QSOs two minutes apart, then the ten",
         hundred, 30, "2024-03-09 12:09:00", 190, 0, {}, 60, 99 * 3600.0 / (3 * 3600 + 9 * 60), 35, 10,
         {{"7", 25}, {"14", 10}}},
        {"nothing logged", {}, 30, "2024-03-09 12:00:00", 0, 0, {}, -1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RateMeter meter(c.minimumBreak);
        OffTime off(c.minimumBreak);
        for (const Qso& q : c.qsos) {
            meter.Add(At(q.when), q.band);
            off.Add(At(q.when) / 60);
        }
        const RateMeter::Figures f = meter.At(At(c.now));
        EXPECT_EQ(f.qsos, static_cast<int>(c.qsos.size()));
        EXPECT_EQ(f.timeOn, c.timeOn);
        EXPECT_EQ(f.timeOff, c.timeOff);
        EXPECT_EQ(f.breaks, static_cast<int>(c.breakMinutes.size()));
        std::vector<std::int64_t> breaks;
        for (const OffTimeBreak& b : off.Breaks())
            breaks.push_back(b.minutes);
        EXPECT_EQ(breaks, c.breakMinutes);
        EXPECT_NEAR(f.last10, c.last10, 0.01);
        EXPECT_NEAR(f.last100, c.last100, 0.01);
        EXPECT_EQ(f.last60Minutes, c.last60);
        EXPECT_EQ(f.thisHour, c.thisHour);
        EXPECT_EQ(f.lastHourByBand, c.lastHourByBand);
    }
}

TEST(RateTest, TheCheckListsBreaksAndSaysWhenTimeOnPassesTheMaximum) {
    SubmissionDetails details;
    QString error;
    ASSERT_TRUE(details.Set(QStringLiteral("MAXIMUM-OPERATING-TIME"), QStringLiteral("1:00"), &error))
        << error.toStdString();
    EXPECT_FALSE(details.Set(QStringLiteral("MINIMUM-BREAK"), QStringLiteral("half an hour"), &error));
    EXPECT_EQ(details.MinimumBreak(), 30); // none given
    const auto row = [](const char* time, const char* call) {
        QsoRow r;
        r.date = QStringLiteral("2024-03-09");
        r.time = QLatin1String(time);
        r.call = QLatin1String(call);
        r.band = QStringLiteral("14");
        return r;
    };
    // In entry order; the fourth was logged late, out of time order.
    const std::vector<QsoRow> rows = {row("12:00:00", "DL1AAA"), row("12:40:00", "DL1BBB"),
                                      row("13:05:00", "DL1CCC"), row("12:20:00", "DL1DDD"),
                                      row("13:30:00", "DL1EEE")};
    const std::vector<LogFinding> findings = OffTimeCheck(details).Check(rows);
    // 12:00 .. 12:20 .. 12:40 (gaps of 19) .. 13:05 (24) .. 13:30 (24): no
    // break; the time on passes 60 minutes at 13:05 (66 minutes).
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].number, 3);
    EXPECT_FALSE(findings[0].information);
    EXPECT_TRUE(findings[0].text.contains(QStringLiteral("1 h 06 min"))) << findings[0].text.toStdString();

    details.minimumBreakMinutes = 20;
    const std::vector<LogFinding> withBreaks = OffTimeCheck(details).Check(rows);
    // Breaks of 24 minutes before 13:05 and 13:30; time on then stays 1 h 31 - 48.
    ASSERT_EQ(withBreaks.size(), 2u);
    for (const LogFinding& f : withBreaks) {
        EXPECT_TRUE(f.information);
        EXPECT_TRUE(f.text.contains(QStringLiteral("24 minutes"))) << f.text.toStdString();
    }
    EXPECT_EQ(withBreaks[0].number, 3);
    EXPECT_EQ(withBreaks[1].number, 5);
}
