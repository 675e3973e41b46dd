#pragma once

#include "logbook/LogEntry.h"
#include "logbook/QsoRow.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace qarvel {

class SharedLogCopy;

// The log table of one open connection: what qarvel writes into it and
// reads back. Every write is one transaction, so the log never holds half
// of what was asked for.
class LogBook {
public:
    // Called after each row with (rows written, rows in all); returning
    // false stops the write and rolls it back.
    using Progress = std::function<bool(int done, int total)>;

    LogBook(QString connectionName, QString table);

    // Opens the log `location` (an SQLite file or a postgresql:// address) as
    // the connection `connectionName` and creates the table when missing. A
    // damaged SQLite file is left untouched, and `error` then says how to
    // restore its newest backup. What in an existing table is not as qarvel
    // makes it is said in `warning`.
    static bool Open(const QString& location, const QString& connectionName, const QString& table,
                     QString* error, QString* warning = nullptr);
    // log.sqlite in qarvel's data folder, which is created.
    static QString DefaultLogPath();

    QSqlDatabase Database() const;
    const QString& Table() const { return table_; }
    const QString& ConnectionName() const { return connectionName_; }

    // Told after every commit that changed rows.
    using Written = std::function<void()>;

    // Writes one QSO and commits it before returning true; `id` receives
    // the row's ID (0 when the log already held its id). A row without an
    // id is given a new UUID; a row whose id the log already holds is not
    // written again, so sending the same QSO twice stores it once.
    bool Append(const QsoRow& row, QString* error, qint64* id = nullptr);
    // Writes all rows in one transaction: either every row is committed or
    // none is.
    bool AppendAll(const std::vector<QsoRow>& rows, const Progress& progress, QString* error);

    // On a position's copy of a shared log: every change is also kept for
    // the server, in the same transaction.
    void SetSharedCopy(const SharedLogCopy* copy) { copy_ = copy; }
    const SharedLogCopy* SharedCopy() const { return copy_; }
    void SetWritten(Written written) { written_ = std::move(written); }

    // The QSO with this id, or nothing (also when it cannot be read).
    std::optional<QsoRow> ReadById(const QString& qsoId) const;
    // The ids of every row.
    std::optional<std::vector<QString>> ReadIds(QString* error) const;
    // Every QSO in time order (date, time, then entry order).
    std::optional<std::vector<QsoRow>> ReadAll(QString* error) const;
    // Every QSO in entry order (by ID), as logged: a log out of time order
    // shows as such.
    std::optional<std::vector<QsoRow>> ReadInEntryOrder(QString* error) const;
    // Every QSO with its ID, in entry order (by ID).
    std::optional<std::vector<LogEntry>> ReadEntries(QString* error) const;
    // The QSO of row `id`; none when there is no such row or it cannot be read.
    std::optional<QsoRow> Read(qint64 id, QString* error) const;
    // The row of the QSO `qsoId` with its ID; none when there is no such
    // row or it cannot be read (`error` is set only then).
    std::optional<LogEntry> ReadEntry(const QString& qsoId, QString* error) const;

    // Corrections, each one transaction on the row keyed by `id`: false,
    // with the reason, when it failed or there is no such row, and the log
    // is then as it was. Restore writes a removed row back under its ID;
    // where a table of an older qarvel gave that ID to a later QSO, the
    // row comes back under a new ID instead (the later QSO keeps its own).
    // `restoredAs` receives the ID it is back under.
    bool Update(qint64 id, const QsoRow& row, QString* error);
    bool Remove(qint64 id, QString* error);
    bool Restore(qint64 id, const QsoRow& row, QString* error, qint64* restoredAs = nullptr);

    // The modes the log holds, each once, sorted.
    QStringList Modes() const;
    int Count() const;
    // The QSOs that count, per band text and mode as logged: a call worked
    // again on the same band and mode is a duplicate and counts once.
    struct BandModeCount {
        QString band;
        QString mode;
        int qsos = 0;
    };
    std::vector<BandModeCount> CountedByBandAndMode() const;

private:
    bool InsertRow(QSqlDatabase& db, const QsoRow& row, QString* error, qint64* id = nullptr,
                   std::optional<qint64> withId = std::nullopt);
    bool Write(const std::vector<QsoRow>& rows, const Progress& progress, QString* error,
               qint64* lastId);
    // The columns of LogColumns() the table has: an old read-only log may
    // lack the newer ones.
    QStringList PresentColumns() const;
    std::optional<std::vector<LogEntry>> Select(const QString& clause, const QVariant& bound,
                                                 QString* error) const;
    // Runs `work` in one transaction and commits it; rolls back when it
    // returns false or the commit fails.
    bool InTransaction(const std::function<bool(QSqlDatabase&)>& work, QString* error);

    QString connectionName_;
    QString table_;
    const SharedLogCopy* copy_ = nullptr;
    Written written_;
};

} // namespace qarvel
