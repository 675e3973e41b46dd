#pragma once

#include "logbook/LogBackups.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <optional>

namespace qarvel {

// Backs the open SQLite log up while qarvel runs: every interval, and once
// more when the run ends. A backup is skipped while the log is unchanged
// since the last one; one asked for during a write waits until the write has
// ended. A backup that fails is reported once, and again only after one has
// worked in between: logging goes on either way.
class BackupSchedule : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::minutes kInterval{10};

    BackupSchedule(QString connectionName, LogBackups backups, QObject* parent = nullptr);

    // Starts the periodic backups; they run in the event loop.
    void Start(std::chrono::milliseconds interval = kInterval);
    // A backup now, unless the log is unchanged since the last one. True
    // when the newest backup holds the log as it is now.
    bool BackUp();

    const LogBackups& Backups() const { return backups_; }

private:
    QString connectionName_;
    LogBackups backups_;
    QTimer timer_;
    QTimer retry_;
    std::optional<LogBackups::Stamp> backedUp_;
    bool warned_ = false;
};

} // namespace qarvel
