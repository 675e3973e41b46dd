// The log and its backups against crashes: a logger killed at any moment,
// rolling backups, and a backup folder that cannot be written.

#include "logbook/BackupSchedule.h"
#include "logbook/LogBackups.h"
#include "logbook/LogBook.h"
#include "ui/ErrorReporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace qarvel;

namespace {

const QString kTable = QStringLiteral("Log");

// The calls of a log file in entry order, after SQLite's integrity check.
QStringList Calls(const QString& path) {
    QStringList calls;
    const QString name = QStringLiteral("crash-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        EXPECT_EQ(q.value(0).toString(), "ok") << path.toStdString();
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT CallSign FROM Log ORDER BY ID")));
        while (q.next())
            calls << q.value(0).toString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return calls;
}

QString CallNumber(int n) {
    return QStringLiteral("DL%1ZZ").arg(n);
}

TEST(CrashSafety, KilledAtRandomPointsTheLogHoldsEveryCommittedQso) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.sqlite"));
    const QString backups = dir.filePath(QStringLiteral("backups"));
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);

    int held = 0;
    for (int kill = 0; kill < 20; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        QProcess child;
        child.start(QStringLiteral(ZELMAR_TEST_BUILD_DIR "/tests/committing-logger"),
                    {log, backups});
        ASSERT_TRUE(child.waitForStarted());
        // Some kills land while the log is being opened and checked, the
        // rest anywhere between and inside the commits.
        const int reports = std::uniform_int_distribution(0, 60)(random);
        QByteArray out;
        while (out.count('\n') < reports) {
            ASSERT_TRUE(child.waitForReadyRead(30000))
                << child.readAllStandardError().toStdString();
            out += child.readAllStandardOutput();
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(0, 40000)(random)));
        child.kill();
        child.waitForFinished();
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << child.readAllStandardError().toStdString();
        out += child.readAllStandardOutput();

        const int committed = static_cast<int>(out.count("committed "));
        const QStringList calls = Calls(log);
        // Every reported QSO, at most one more whose report the kill cut
        // off, nothing twice and nothing out of order.
        ASSERT_GE(calls.size(), held + committed);
        ASSERT_LE(calls.size(), held + committed + 1);
        for (int i = 0; i < calls.size(); ++i)
            ASSERT_EQ(calls[i], CallNumber(i));
        held = static_cast<int>(calls.size());
    }
    EXPECT_GE(held, 20);

    // A backup is whole or absent, and holds the log as it was.
    for (const QString& backup : LogBackups(log, backups).Files()) {
        const QStringList calls = Calls(backup);
        ASSERT_FALSE(calls.isEmpty()) << backup.toStdString();
        EXPECT_EQ(calls.last(), CallNumber(static_cast<int>(calls.size()) - 1));
    }
}

class Backups : public ::testing::Test {
protected:
    void SetUp() override {
        zelmar::SetErrorReporter([this](const QString& text) { warnings_ << text; });
        QString error;
        ASSERT_TRUE(LogBook::Open(path_, log_.ConnectionName(), kTable, &error))
            << error.toStdString();
    }
    void TearDown() override {
        zelmar::SetErrorReporter({});
        QSqlDatabase::database(log_.ConnectionName(), false).close();
        QSqlDatabase::removeDatabase(log_.ConnectionName());
    }

    void Log(int n) {
        QsoRow q;
        q.call = CallNumber(n);
        QString error;
        ASSERT_TRUE(log_.Append(q, &error)) << error.toStdString();
    }

    QTemporaryDir dir_;
    const QString path_ = dir_.filePath(QStringLiteral("log.sqlite"));
    const QString folder_ = dir_.filePath(QStringLiteral("backups"));
    LogBook log_{QStringLiteral("qarvel-log-1"), kTable};
    QStringList warnings_;
};

TEST_F(Backups, AFolderThatCannotBeWrittenWarnsOnceThenTheBackupsRoll) {
    // The settings that carry a commit through a power cut.
    QSqlQuery q(log_.Database());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    EXPECT_EQ(q.value(0).toString(), "wal");
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 2) << "FULL";

    {
        QFile blocker(folder_); // a file where the folder should be
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    BackupSchedule schedule(log_.ConnectionName(), LogBackups(path_, folder_));
    for (int i = 0; i < 3; ++i) {
        Log(i);
        EXPECT_FALSE(schedule.BackUp());
    }
    ASSERT_EQ(warnings_.size(), 1);
    EXPECT_TRUE(warnings_[0].contains(folder_)) << warnings_[0].toStdString();
    EXPECT_EQ(log_.Count(), 3);

    // Once the folder can be made, the periodic backup comes on its own.
    ASSERT_TRUE(QFile::remove(folder_));
    schedule.Start(std::chrono::milliseconds(20));
    QElapsedTimer waited;
    waited.start();
    while (schedule.Backups().Files().isEmpty() && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(schedule.Backups().Files().size(), 1);
    EXPECT_EQ(Calls(schedule.Backups().Newest()).size(), 3);
    EXPECT_EQ(warnings_.size(), 1);

    LogBackups backups(path_, folder_);
    const QDateTime start(QDate(2030, 3, 9), QTime(12, 0), Qt::UTC);
    QString error;
    for (int i = 3; i < 14; ++i) {
        Log(i);
        ASSERT_EQ(backups.Take(log_.Database(), start.addSecs(600 * i), &error),
                  LogBackups::Result::Taken)
            << error.toStdString();
    }
    const QStringList files = backups.Files();
    ASSERT_EQ(files.size(), LogBackups::kKept);
    EXPECT_TRUE(files.first().endsWith("-20300309-124000.sqlite")) << files.first().toStdString();
    EXPECT_EQ(Calls(files.last()).size(), 14);

    // Inside an open transaction the pages may be half written: no copy.
    QSqlDatabase db = log_.Database();
    ASSERT_TRUE(db.transaction());
    EXPECT_EQ(backups.Take(db, start.addDays(1), &error), LogBackups::Result::Busy);
    db.rollback();
    EXPECT_EQ(backups.Newest(), files.last());
}

} // namespace
