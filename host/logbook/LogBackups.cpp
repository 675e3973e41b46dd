#include "logbook/LogBackups.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

namespace qarvel {

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// The sqlite3 handle under a QSQLITE connection, as QSqlDriver::handle()
// documents it. Only usable when the driver runs on the SQLite library
// qarvel is linked with (Debian's Qt driver uses the system's): a handle of
// another copy of SQLite must never reach these functions.
sqlite3* Handle(const QSqlDatabase& db, QString* error) {
    const QVariant v = db.isOpen() && db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) {
        SetError(error, QStringLiteral("the log is not an open SQLite database"));
        return nullptr;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_source_id()")) || !q.next() ||
        q.value(0).toString() != QLatin1String(sqlite3_sourceid())) {
        SetError(error, QStringLiteral("Qt's SQLite driver runs another SQLite library than qarvel"));
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(v.constData());
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

// SQLite's own check of a database; empty when it is sound.
QString Problems(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    QStringList problems;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        const QString line = QString::fromUtf8(text ? text : "");
        if (line != QLatin1String("ok") && problems.size() < 3)
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    return problems.join(QStringLiteral("; "));
}

// Single quotes for a path the shell would split or expand.
QString ShellWord(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

LogBackups::LogBackups(const QString& logPath, QString folder)
    : logPath_(logPath), folder_(std::move(folder)) {
    const QFileInfo info(logPath);
    const QString where = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray tag =
        QCryptographicHash::hash(where.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    prefix_ = info.completeBaseName() + QLatin1Char('-') + QString::fromLatin1(tag) +
              QLatin1Char('-');
}

QString LogBackups::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/backups");
}

QStringList LogBackups::Files() const {
    const QRegularExpression name(QLatin1Char('^') + QRegularExpression::escape(prefix_) +
                                  QStringLiteral("\\d{8}-\\d{6}\\.sqlite$"));
    QStringList files;
    const QDir dir(folder_);
    for (const QString& entry : dir.entryList({prefix_ + QStringLiteral("*")}, QDir::Files,
                                              QDir::Name))
        if (name.match(entry).hasMatch())
            files << dir.filePath(entry);
    return files;
}

QString LogBackups::Newest() const {
    const QStringList files = Files();
    return files.isEmpty() ? QString() : files.last();
}

LogBackups::Result LogBackups::Take(const QSqlDatabase& db, const QDateTime& at, QString* error) {
    sqlite3* source = Handle(db, error);
    if (!source)
        return Result::Failed;
    if (!sqlite3_get_autocommit(source))
        return Result::Busy;
    if (!QDir().mkpath(folder_) || !QFileInfo(folder_).isDir()) {
        SetError(error, QStringLiteral("cannot create the folder %1").arg(folder_));
        return Result::Failed;
    }
    const QString path = QDir(folder_).filePath(prefix_ + at.toUTC().toString(kTimeFormat) +
                                                QStringLiteral(".sqlite"));
    // Left by a run that ended while copying; never taken for a backup.
    for (const QString& stale : QDir(folder_).entryList(
             {prefix_ + QStringLiteral("*.partial"), prefix_ + QStringLiteral("*.partial-journal")},
             QDir::Files))
        QFile::remove(QDir(folder_).filePath(stale));
    const QString partial = path + QStringLiteral(".partial");

    QString why;
    {
        sqlite3* opened = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &opened,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const Database copy(opened);
        if (rc != SQLITE_OK) {
            why = QStringLiteral("cannot write %1: %2")
                      .arg(partial, QString::fromUtf8(copy ? sqlite3_errmsg(copy.get())
                                                           : sqlite3_errstr(rc)));
        } else if (sqlite3_backup* backup =
                       sqlite3_backup_init(copy.get(), "main", source, "main")) {
            // The whole log in one step: a few megabytes even for a long
            // contest, and the logging waits for nothing else meanwhile.
            const int step = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (step != SQLITE_DONE)
                why = QStringLiteral("cannot copy the log into %1: %2")
                          .arg(partial, QString::fromUtf8(sqlite3_errstr(step)));
            else if (const QString problems = Problems(copy.get()); !problems.isEmpty())
                // A copy of damaged pages must not push a good backup out.
                why = QStringLiteral("the copy of the log fails SQLite's integrity check (%1)")
                          .arg(problems);
        } else {
            why = QStringLiteral("cannot copy the log into %1: %2")
                      .arg(partial, QString::fromUtf8(sqlite3_errmsg(copy.get())));
        }
    }
    if (why.isEmpty() &&
        std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) !=
            0)
        why = QStringLiteral("cannot rename %1 to %2").arg(partial, path);
    if (!why.isEmpty()) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        SetError(error, why);
        return Result::Failed;
    }
    QStringList files = Files();
    while (files.size() > kKept)
        QFile::remove(files.takeFirst());
    return Result::Taken;
}

QString LogBackups::RestoreAdvice() const {
    const QString newest = Newest();
    if (newest.isEmpty())
        return QStringLiteral("There is no backup of this log in %1.").arg(folder_);
    const QString log = QFileInfo(logPath_).absoluteFilePath();
    QString text =
        QStringLiteral("The newest backup is %1. To restore it, quit qarvel, move the damaged "
                       "files aside and copy the backup in the log's place:\n\n")
            .arg(newest);
    // The write-ahead log and its index belong to the damaged file: left
    // beside the restored copy, SQLite would replay them onto it.
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = log + suffix;
        if (suffix.isEmpty() || QFileInfo::exists(file))
            text += QStringLiteral("    mv %1 %2\n")
                        .arg(ShellWord(file), ShellWord(file + QStringLiteral(".damaged")));
    }
    text += QStringLiteral("    cp %1 %2").arg(ShellWord(newest), ShellWord(log));
    return text;
}

std::optional<LogBackups::Stamp> LogBackups::ChangeStamp(const QSqlDatabase& db) {
    if (db.driverName() != QLatin1String("QSQLITE") || !db.isOpen())
        return std::nullopt;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT total_changes()")) || !q.next())
        return std::nullopt;
    const qint64 own = q.value(0).toLongLong();
    if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next())
        return std::nullopt;
    return Stamp{own, q.value(0).toLongLong()};
}

} // namespace qarvel
