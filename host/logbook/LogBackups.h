#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel {

// The rolling backups of one SQLite log, copied with SQLite's online backup
// while the log stays open. They are named <log>-<tag>-<yyyyMMdd-HHmmss>.sqlite
// (UTC): the tag tells apart logs of the same name in different folders,
// and the time makes them sort oldest first. The newest kKept are kept.
class LogBackups {
public:
    static constexpr int kKept = 10;

    enum class Result {
        Taken,
        // A transaction of the log is open, so its pages may be half
        // written: nothing was copied. Try again once it has ended.
        Busy,
        Failed,
    };

    explicit LogBackups(const QString& logPath, QString folder = DefaultFolder());

    // The backups folder in qarvel's data folder.
    static QString DefaultFolder();

    const QString& Folder() const { return folder_; }

    // Copies the log open as `db` into the backup stamped `at`, checks the
    // copy and drops the oldest backups beyond kKept. A copy is written aside
    // and renamed, so a crash never leaves half a backup under a backup's
    // name. On failure the reason is in `error`.
    Result Take(const QSqlDatabase& db, const QDateTime& at, QString* error);

    // This log's backups, oldest first, as full paths.
    QStringList Files() const;
    QString Newest() const;

    // What the operator does to put the newest backup in the place of the
    // damaged log, with the shell commands; says so when there is none.
    QString RestoreAdvice() const;

    // Changes with every write to the log open as `db`: the rows this
    // connection changed, and SQLite's count of other connections' commits.
    struct Stamp {
        qint64 ownChanges = 0;
        qint64 othersCommits = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    // None for a log that is not SQLite.
    static std::optional<Stamp> ChangeStamp(const QSqlDatabase& db);

private:
    QString logPath_;
    QString folder_;
    QString prefix_;
};

} // namespace qarvel
