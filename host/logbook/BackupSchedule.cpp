#include "logbook/BackupSchedule.h"

#include "ui/ErrorReporter.h"

#include <QDateTime>
#include <QSqlDatabase>

namespace qarvel {

namespace {

// Long enough for an import's transaction to end.
constexpr std::chrono::seconds kRetryAfterWrite{15};

} // namespace

BackupSchedule::BackupSchedule(QString connectionName, LogBackups backups, QObject* parent)
    : QObject(parent), connectionName_(std::move(connectionName)), backups_(std::move(backups)) {
    // A log that has a backup already counts as backed up as it was opened;
    // one that has none gets its first backup at the first chance.
    if (!backups_.Newest().isEmpty())
        backedUp_ = LogBackups::ChangeStamp(QSqlDatabase::database(connectionName_, false));
    connect(&timer_, &QTimer::timeout, this, [this] { BackUp(); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] { BackUp(); });
}

void BackupSchedule::Start(std::chrono::milliseconds interval) {
    timer_.start(interval);
}

bool BackupSchedule::BackUp() {
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    const std::optional<LogBackups::Stamp> now = LogBackups::ChangeStamp(db);
    if (now && backedUp_ == now)
        return true;
    QString error;
    switch (backups_.Take(db, QDateTime::currentDateTimeUtc(), &error)) {
    case LogBackups::Result::Taken:
        backedUp_ = now;
        warned_ = false;
        return true;
    case LogBackups::Result::Busy:
        retry_.start(kRetryAfterWrite);
        return false;
    case LogBackups::Result::Failed:
        break;
    }
    if (!warned_)
        zelmar::ReportError(
            QStringLiteral("No backup of the log was written: %1.\nLogging goes on; this is not "
                           "reported again until a backup works.")
                .arg(error));
    warned_ = true;
    return false;
}

} // namespace qarvel
