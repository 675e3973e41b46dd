// Contest > Summary on a generated contest: the score line grows to the
// statistics window's score, and the window's PNG and PDF are written.

#include "WindowFixture.h"

#include "app/DemoLog.h"
#include "contest/ScoreLine.h"
#include "windows/SummaryWindow.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimeZone>

using namespace qarvel;
using qarvel::testing::WindowFixture;

namespace {

class SummaryFlow : public WindowFixture {};

} // namespace

TEST_F(SummaryFlow, ScoreOverTimeEndsAtTheStatisticsWindowsScoreAndSaves) {
    QString error;
    const std::vector<QsoRow> rows =
        MakeDemoLog(600, QDateTime(QDate(2024, 3, 9), QTime(12, 0), QTimeZone::utc()), 3);
    ASSERT_TRUE(book_->AppendAll(rows, {}, &error)) << error.toStdString();

    window_->ShowSummary();
    SummaryWindow* summary = window_->Summary();
    ASSERT_NE(summary, nullptr);
    ASSERT_TRUE(summary->Summary().has_value());
    const ContestSummary& s = *summary->Summary();
    // The module replays by call, the summary QSO by QSO in time order:
    // the same rules end at the same score.
    const auto line = ScoreLine::Parse(session_->ScoreLineText());
    ASSERT_TRUE(line.has_value()) << session_->ScoreLineText().toStdString();
    ASSERT_EQ(s.score.size(), rows.size());
    EXPECT_EQ(s.score.back().score, line->score);
    EXPECT_TRUE(std::is_sorted(s.score.begin(), s.score.end(),
                               [](const auto& a, const auto& b) { return a.seconds < b.seconds; }));
    EXPECT_EQ(s.hours.size(), 24u);
    int counted = 0;
    for (const ContestSummary::Hour& h : s.hours)
        counted += h.total;
    EXPECT_EQ(counted, 600);
    EXPECT_EQ(s.grid.back().first(), QStringLiteral("Total"));
    EXPECT_EQ(s.scoreLine, session_->ScoreLineText());

    QTemporaryDir dir;
    ASSERT_TRUE(summary->SavePng(dir.filePath(QStringLiteral("graph.png")), &error))
        << error.toStdString();
    const QImage png(dir.filePath(QStringLiteral("graph.png")));
    EXPECT_EQ(png.size(), QSize(1000, 760));
    ASSERT_TRUE(summary->SavePdf(dir.filePath(QStringLiteral("summary.pdf")), &error))
        << error.toStdString();
    QFile pdf(dir.filePath(QStringLiteral("summary.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    // A folder that does not exist: said, not a silent success.
    EXPECT_FALSE(summary->SavePdf(dir.filePath(QStringLiteral("none/summary.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none/summary.pdf"))));
}
