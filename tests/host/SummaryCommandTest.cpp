// qarvel --summary as the club's web page gets it: the hourly table is the
// log's own counts, the graphs are pictures, and the log is left as it was.

#include "app/DemoLog.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionStore.h"

#include "QarvelRun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <map>

using namespace qarvel;

namespace {

QByteArray Digest(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST(SummaryCommand, HourlyTableIsTheLogsOwnCountAndNothingElseChanges) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contest.sqlite"));
    // The demo contest with no QSO from 15:00 to 15:59: one break.
    std::vector<QsoRow> rows;
    for (QsoRow& r :
         MakeDemoLog(500, QDateTime(QDate(2024, 3, 9), QTime(12, 0), QTimeZone::utc()), 7))
        if (!(r.date == QLatin1String("2024-03-09") && r.time.startsWith(QLatin1String("15:"))))
            rows.push_back(r);
    // A QSO with a time that cannot be read counts in no hour.
    rows.push_back(rows.front());
    rows.back().time = QStringLiteral("late");
    rows.back().qsoId.clear();
    {
        QString error;
        ASSERT_TRUE(LogBook::Open(path, QStringLiteral("summary-log"), QStringLiteral("Log"), &error))
            << error.toStdString();
        LogBook log(QStringLiteral("summary-log"), QStringLiteral("Log"));
        ASSERT_TRUE(log.AppendAll(rows, {}, &error)) << error.toStdString();
        SubmissionDetails details;
        details.minimumBreakMinutes = 45;
        ASSERT_TRUE(SubmissionStore(log.Database(), log.Table()).Save(details, &error));
        log.Database().close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("summary-log"));
    const QByteArray before = Digest(path);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    const QString html = dir.filePath(QStringLiteral("summary.html"));
    const auto r = qarvel::testing::RunQarvel(dir.path(), {"--call", "YO3ZZZ", "--summary", html, path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile page(html);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());

    // The hourly table, cell by cell: hour and band to QSOs, zeros left out.
    const qsizetype start = text.indexOf(QStringLiteral("<table id=\"hourly\">"));
    ASSERT_GE(start, 0);
    const QString table = text.mid(start, text.indexOf(QStringLiteral("</table>"), start) - start);
    static const QRegularExpression cell(QStringLiteral("<t[hd][^>]*>([^<]*)</t[hd]>"));
    std::vector<QStringList> cells;
    for (const QString& line : table.split(QLatin1Char('\n'))) {
        QStringList row;
        for (auto it = cell.globalMatch(line); it.hasNext();)
            row << it.next().captured(1);
        if (!row.isEmpty())
            cells.push_back(row);
    }
    ASSERT_GE(cells.size(), 3u);
    const QStringList heading = cells.front();
    std::map<std::pair<QString, QString>, int> fromPage;
    for (std::size_t i = 1; i + 1 < cells.size(); ++i)
        for (qsizetype c = 1; c + 1 < cells[i].size(); ++c)
            if (cells[i][c].toInt() > 0)
                fromPage[{cells[i][0], heading[c]}] = cells[i][c].toInt();

    std::map<std::pair<QString, QString>, int> fromSql;
    int dated = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral(
            "SELECT QSODate || ' ' || substr(QSOTime, 1, 2), DigiBand, COUNT(*) FROM Log "
            "WHERE QSOTime GLOB '[0-2][0-9]:[0-5][0-9]*' GROUP BY 1, 2")));
        while (q.next()) {
            fromSql[{q.value(0).toString(), q.value(1).toString()}] = q.value(2).toInt();
            dated += q.value(2).toInt();
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    EXPECT_GT(fromSql.size(), 50u);
    EXPECT_EQ(fromPage, fromSql);
    EXPECT_EQ(cells.back().last(), QString::number(dated));
    EXPECT_EQ(dated + 1, static_cast<int>(rows.size()));
    EXPECT_TRUE(text.contains(QStringLiteral("1 QSOs have no readable date and time")));
    // No hour 15 QSO, so the page's 15 row is all zeros and there is the one break
    // of 45 minutes or more.
    EXPECT_EQ(fromPage.count({QStringLiteral("2024-03-09 15"), QStringLiteral("14")}), 0u);
    EXPECT_TRUE(text.contains(QStringLiteral("<td>2024-03-09 15</td>")));
    EXPECT_EQ(text.count(QStringLiteral("<li>")), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("from 45 minutes")));

    // Both graphs are in the page as pictures.
    static const QRegularExpression image(QStringLiteral("src=\"data:image/png;base64,([^\"]+)\""));
    int pictures = 0;
    for (auto it = image.globalMatch(text); it.hasNext(); ++pictures) {
        const QImage picture = QImage::fromData(QByteArray::fromBase64(it.next().captured(1).toLatin1()), "PNG");
        EXPECT_GT(picture.width(), 100);
    }
    EXPECT_EQ(pictures, 2);

    // The graph alone as a PNG.
    const QString png = dir.filePath(QStringLiteral("summary.png"));
    const auto p = qarvel::testing::RunQarvel(dir.path(), {"--summary", png, path});
    ASSERT_EQ(p.exitCode, 0) << p.err.toStdString();
    EXPECT_FALSE(QImage(png).isNull());

    // The log is as it was, and nothing but the two summaries was added.
    EXPECT_EQ(Digest(path), before);
    QStringList filesAfter = QDir(dir.path()).entryList(QDir::Files);
    filesAfter.removeAll(QStringLiteral("summary.html"));
    filesAfter.removeAll(QStringLiteral("summary.png"));
    EXPECT_EQ(filesAfter, filesBefore);

    const auto wrong = qarvel::testing::RunQarvel(dir.path(), {"--summary", dir.filePath("summary.txt"), path});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral(".html or .png")));
}
