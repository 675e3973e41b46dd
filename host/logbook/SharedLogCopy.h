#pragma once

#include "logbook/QsoRow.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

namespace qarvel {

// This position's copy of a shared log: an SQLite file holding the log
// table as the server has it, plus what this position changed that the
// server has not confirmed yet (table QarvelPending, oldest first). A
// change is written into the copy and into QarvelPending in one
// transaction, so nothing the operator did is lost while the server is away.
class SharedLogCopy {
public:
    enum class Kind { Insert, Update, Delete };

    struct Change {
        qint64 seq = 0;
        Kind kind = Kind::Insert;
        QsoRow row;      // the row as it should be on the server (for a delete: its id)
        QString refused; // the server's reason, when it refused the change
    };

    // Opens (or creates) the copy at `path` as the Qt SQL connection
    // `connectionName`, in WAL mode with full syncs, with both tables.
    static bool Open(const QString& path, const QString& connectionName, const QString& table,
                     QString* error);

    SharedLogCopy(QString connectionName, QString table);

    // Within the caller's open transaction: records that row `localId` was
    // inserted, updated or is about to be deleted. An update or delete of a
    // row whose insert is still unsent changes that insert instead, so a
    // QSO the server refused can be put right, or taken back, by a
    // correction.
    bool Record(QSqlDatabase& db, Kind kind, qint64 localId, QString* error) const;

    // What waits, oldest first; refused changes too when `withRefused`.
    std::vector<Change> Pending(bool withRefused) const;
    bool Done(qint64 seq) const;
    bool Refuse(qint64 seq, const QString& reason) const;
    // Changes still to be sent (refused ones not counted).
    int Waiting() const;
    // The ids of every QSO with a change not confirmed yet, refused or not.
    std::vector<QString> PendingIds() const;

    QSqlDatabase Database() const;
    const QString& Table() const { return table_; }

    static std::optional<QsoRow> ReadRow(QSqlDatabase& db, const QString& table, qint64 localId);

private:
    QString connectionName_;
    QString table_;
};

} // namespace qarvel
