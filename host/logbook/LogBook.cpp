#include "logbook/LogBook.h"

#include "logbook/LogBackups.h"
#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "logbook/SharedLogCopy.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

namespace qarvel {

namespace {

std::vector<QsoRow> WithIds(std::vector<QsoRow> rows) {
    for (QsoRow& r : rows)
        if (r.qsoId.isEmpty())
            r.qsoId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return rows;
}

QString Text(const QSqlQuery& q, int column) {
    const QVariant v = q.value(column);
    return v.isNull() ? QString() : v.toString();
}

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// A correction touches exactly the row it names; none touched means the row
// is gone (another position may have deleted it).
bool ExecOnOneRow(QSqlQuery& q, const QString& what, qint64 id, const QString& call,
                  QString* error) {
    const QString subject = call.isEmpty() ? QStringLiteral("QSO number %1").arg(id)
                                           : QStringLiteral("%1 (QSO number %2)").arg(call).arg(id);
    if (!q.exec()) {
        SetError(error, QStringLiteral("%1 %2 in the log: %3")
                            .arg(what, subject, q.lastError().text()));
        return false;
    }
    if (q.numRowsAffected() != 1) {
        SetError(error, QStringLiteral("%1 %2: the log holds no such QSO").arg(what, subject));
        return false;
    }
    return true;
}

} // namespace

LogBook::LogBook(QString connectionName, QString table)
    : connectionName_(std::move(connectionName)), table_(std::move(table)) {}

bool LogBook::Open(const QString& location, const QString& connectionName, const QString& table,
                   QString* error, QString* warning) {
    bool damaged = false;
    if (!OpenLogDatabase(location, connectionName, error, &damaged)) {
        if (damaged && error)
            *error += QStringLiteral(" qarvel has not written into it.\n") +
                      LogBackups(SqliteLogPath(location)).RestoreAdvice();
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QString why;
    if (EnsureLogTable(db, table, &why, warning))
        return true;
    SetError(error, QStringLiteral("Cannot create the log table %1: %2").arg(table, why));
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
    return false;
}

QString LogBook::DefaultLogPath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    return dir + QStringLiteral("/log.sqlite");
}

QSqlDatabase LogBook::Database() const {
    return QSqlDatabase::database(connectionName_, false);
}

bool LogBook::InsertRow(QSqlDatabase& db, const QsoRow& row, QString* error, qint64* id,
                        std::optional<qint64> withId) {
    QStringList columns = LogColumns();
    if (withId)
        columns.prepend(QStringLiteral("ID"));
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery q(db);
    // RETURNING gives the row number on both engines, and nothing when the
    // id is already in the log and the row is not written again.
    if (!q.prepare(QStringLiteral(
                       "INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (QsoId) DO NOTHING RETURNING ID")
                       .arg(table_, columns.join(QStringLiteral(", ")),
                            marks.join(QStringLiteral(", "))))) {
        SetError(error, q.lastError().text());
        return false;
    }
    if (withId)
        q.addBindValue(*withId);
    for (const QString& v : LogColumnValues(row))
        q.addBindValue(v);
    if (!q.exec()) {
        SetError(
            error,
            QStringLiteral("Cannot write %1 into the log: %2").arg(row.call, q.lastError().text()));
        return false;
    }
    if (id)
        *id = q.next() ? q.value(0).toLongLong() : 0;
    return true;
}

bool LogBook::Append(const QsoRow& row, QString* error, qint64* id) {
    if (id)
        *id = 0;
    return Write(WithIds({row}), {}, error, id);
}

bool LogBook::AppendAll(const std::vector<QsoRow>& rows, const Progress& progress,
                        QString* error) {
    return Write(WithIds(rows), progress, error, nullptr);
}

bool LogBook::Write(const std::vector<QsoRow>& rows, const Progress& progress, QString* error,
                    qint64* lastId) {
    return InTransaction(
        [&](QSqlDatabase& db) {
            const int total = static_cast<int>(rows.size());
            for (int i = 0; i < total; ++i) {
                qint64 id = 0;
                if (!InsertRow(db, rows[static_cast<std::size_t>(i)], error, &id))
                    return false;
                if (i + 1 == total && lastId)
                    *lastId = id;
                if (copy_ && id > 0 && !copy_->Record(db, SharedLogCopy::Kind::Insert, id, error))
                    return false;
                if (progress && !progress(i + 1, total)) {
                    SetError(error, QStringLiteral("Stopped; nothing was written to the log"));
                    return false;
                }
            }
            return true;
        },
        error);
}

bool LogBook::InTransaction(const std::function<bool(QSqlDatabase&)>& work, QString* error) {
    QSqlDatabase db = Database();
    if (!db.isOpen()) {
        SetError(error, QStringLiteral("The log is not open"));
        return false;
    }
    if (!db.transaction()) {
        SetError(error,
                 QStringLiteral("Cannot start writing to the log: %1").arg(db.lastError().text()));
        return false;
    }
    if (!work(db)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        SetError(error, QStringLiteral("Cannot commit to the log: %1").arg(text));
        return false;
    }
    if (written_)
        written_();
    return true;
}

QStringList LogBook::PresentColumns() const {
    QSqlQuery shape(Database());
    const QSqlRecord record = shape.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table_))
                                  ? shape.record()
                                  : QSqlRecord();
    QStringList columns;
    for (const QString& c : LogColumns())
        if (record.isEmpty() || record.indexOf(c) >= 0)
            columns << c;
    return columns;
}

std::optional<std::vector<QsoRow>> LogBook::ReadAll(QString* error) const {
    auto entries = Select(QStringLiteral("ORDER BY QSODate, QSOTime, ID"), {}, error);
    if (!entries)
        return std::nullopt;
    std::vector<QsoRow> rows;
    rows.reserve(entries->size());
    for (LogEntry& e : *entries)
        rows.push_back(std::move(e.row));
    return rows;
}

std::optional<std::vector<QsoRow>> LogBook::ReadInEntryOrder(QString* error) const {
    auto entries = ReadEntries(error);
    if (!entries)
        return std::nullopt;
    std::vector<QsoRow> rows;
    rows.reserve(entries->size());
    for (LogEntry& e : *entries)
        rows.push_back(std::move(e.row));
    return rows;
}

std::optional<std::vector<LogEntry>> LogBook::ReadEntries(QString* error) const {
    return Select(QStringLiteral("ORDER BY ID"), {}, error);
}

std::optional<QsoRow> LogBook::Read(qint64 id, QString* error) const {
    auto entries = Select(QStringLiteral("WHERE ID = ?"), id, error);
    if (!entries)
        return std::nullopt;
    if (entries->empty()) {
        SetError(error, QStringLiteral("The log holds no QSO number %1").arg(id));
        return std::nullopt;
    }
    return std::move(entries->front().row);
}

std::optional<LogEntry> LogBook::ReadEntry(const QString& qsoId, QString* error) const {
    auto entries = Select(QStringLiteral("WHERE QsoId = ?"), qsoId, error);
    if (!entries || entries->empty())
        return std::nullopt;
    return std::move(entries->front());
}

std::optional<std::vector<LogEntry>> LogBook::Select(const QString& clause, const QVariant& bound,
                                                     QString* error) const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    const QStringList columns = PresentColumns();
    const bool prepared = q.prepare(QStringLiteral("SELECT ID, %1 FROM %2 %3")
                                        .arg(columns.join(QStringLiteral(", ")), table_, clause));
    if (prepared && bound.isValid())
        q.addBindValue(bound);
    if (!prepared || !q.exec()) {
        SetError(error, QStringLiteral("Cannot read the log: %1").arg(q.lastError().text()));
        return std::nullopt;
    }
    std::vector<LogEntry> entries;
    while (q.next()) {
        LogEntry e;
        e.id = q.value(0).toLongLong();
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            *LogColumnField(e.row, columns[i]) = Text(q, i + 1);
        entries.push_back(std::move(e));
    }
    if (q.lastError().isValid()) {
        SetError(error, QStringLiteral("Cannot read the log: %1").arg(q.lastError().text()));
        return std::nullopt;
    }
    return entries;
}

bool LogBook::Update(qint64 id, const QsoRow& row, QString* error) {
    return InTransaction(
        [&](QSqlDatabase& db) {
            // A row keeps the id it was made with, whatever the edit says.
            QStringList assignments;
            QStringList columns = LogColumns();
            QStringList values = LogColumnValues(row);
            const qsizetype idColumn = columns.indexOf(QStringLiteral("QsoId"));
            columns.removeAt(idColumn);
            values.removeAt(idColumn);
            for (const QString& column : columns)
                assignments << column + QStringLiteral(" = ?");
            QSqlQuery q(db);
            if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE ID = ?")
                               .arg(table_, assignments.join(QStringLiteral(", "))))) {
                SetError(error, q.lastError().text());
                return false;
            }
            for (const QString& v : values)
                q.addBindValue(v);
            q.addBindValue(id);
            return ExecOnOneRow(q, QStringLiteral("Cannot change"), id, row.call, error) &&
                   (!copy_ || copy_->Record(db, SharedLogCopy::Kind::Update, id, error));
        },
        error);
}

bool LogBook::Remove(qint64 id, QString* error) {
    return InTransaction(
        [&](QSqlDatabase& db) {
            QSqlQuery q(db);
            if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table_))) {
                SetError(error, q.lastError().text());
                return false;
            }
            q.addBindValue(id);
            // Kept for the server while the row can still be read.
            if (copy_ && !copy_->Record(db, SharedLogCopy::Kind::Delete, id, error))
                return false;
            return ExecOnOneRow(q, QStringLiteral("Cannot delete"), id, QString(), error);
        },
        error);
}

bool LogBook::Restore(qint64 id, const QsoRow& row, QString* error, qint64* restoredAs) {
    qint64 at = 0;
    const bool ok = InTransaction(
        [&](QSqlDatabase& db) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("SELECT QsoId FROM %1 WHERE ID = ?").arg(table_));
            q.addBindValue(id);
            if (!q.exec()) {
                SetError(error, QStringLiteral("Cannot write %1 back into the log: %2")
                                    .arg(row.call, q.lastError().text()));
                return false;
            }
            const bool taken = q.next();
            if (taken && !row.qsoId.isEmpty() && Text(q, 0) == row.qsoId) {
                at = id; // back already
                return true;
            }
            if (taken)
                q.finish();
            if (!InsertRow(db, row, error, &at, taken ? std::nullopt : std::optional(id)))
                return false;
            if (at == 0) {
                // The QSO is in the log already, under another ID.
                q.prepare(QStringLiteral("SELECT ID FROM %1 WHERE QsoId = ?").arg(table_));
                q.addBindValue(row.qsoId);
                if (q.exec() && q.next())
                    at = q.value(0).toLongLong();
            }
            // A shared log's copy sends the QSO back to the server too.
            return !copy_ || copy_->Record(db, SharedLogCopy::Kind::Insert, at, error);
        },
        error);
    if (ok && restoredAs)
        *restoredAs = at;
    return ok;
}

std::optional<QsoRow> LogBook::ReadById(const QString& qsoId) const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE QsoId = ?")
                  .arg(LogColumns().join(QStringLiteral(", ")), table_));
    q.addBindValue(qsoId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    QsoRow r;
    for (int i = 0; i < static_cast<int>(LogColumns().size()); ++i)
        *LogColumnField(r, LogColumns()[i]) = Text(q, i);
    return r;
}

std::optional<std::vector<QString>> LogBook::ReadIds(QString* error) const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT QsoId FROM %1").arg(table_))) {
        SetError(error, q.lastError().text());
        return std::nullopt;
    }
    std::vector<QString> ids;
    while (q.next())
        ids.push_back(Text(q, 0));
    if (q.lastError().isValid()) {
        SetError(error, q.lastError().text());
        return std::nullopt;
    }
    return ids;
}

QStringList LogBook::Modes() const {
    QSqlQuery q(Database());
    QStringList modes;
    if (!q.exec(QStringLiteral("SELECT DISTINCT QSOMode FROM %1").arg(table_)))
        return modes;
    while (q.next()) {
        const QString mode = Text(q, 0).trimmed();
        if (!mode.isEmpty() && !modes.contains(mode))
            modes << mode;
    }
    modes.sort();
    return modes;
}

std::vector<LogBook::BandModeCount> LogBook::CountedByBandAndMode() const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    std::vector<BandModeCount> counts;
    if (!q.exec(QStringLiteral("SELECT DigiBand, QSOMode, COUNT(DISTINCT CallSign) FROM %1 "
                               "GROUP BY DigiBand, QSOMode ORDER BY DigiBand, QSOMode")
                    .arg(table_)))
        return counts;
    while (q.next())
        counts.push_back({Text(q, 0), Text(q, 1), q.value(2).toInt()});
    return counts;
}

int LogBook::Count() const {
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table_)) || !q.next())
        return 0;
    return q.value(0).toInt();
}

} // namespace qarvel
