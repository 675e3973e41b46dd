#include "logbook/LogBook.h"

#include "logbook/LogBackups.h"
#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVariant>

namespace qarvel {

namespace {

// The row's fields in the order of LogColumns().
QStringList Values(const QsoRow& r) {
    return {r.date, r.time,     r.call,       r.frequency,  r.band,     r.mode,
            r.sent, r.received, r.dxccPrefix, r.mainPrefix, r.continent};
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
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(table_, columns.join(QStringLiteral(", ")),
                            marks.join(QStringLiteral(", "))))) {
        SetError(error, q.lastError().text());
        return false;
    }
    if (withId)
        q.addBindValue(*withId);
    for (const QString& v : Values(row))
        q.addBindValue(v);
    if (!q.exec()) {
        SetError(
            error,
            QStringLiteral("Cannot write %1 into the log: %2").arg(row.call, q.lastError().text()));
        return false;
    }
    if (id)
        *id = withId ? *withId : q.lastInsertId().toLongLong();
    return true;
}

bool LogBook::Append(const QsoRow& row, QString* error, qint64* id) {
    return InTransaction([&](QSqlDatabase& db) { return InsertRow(db, row, error, id); }, error);
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
    return true;
}

bool LogBook::AppendAll(const std::vector<QsoRow>& rows, const Progress& progress, QString* error) {
    return InTransaction(
        [&](QSqlDatabase& db) {
            const int total = static_cast<int>(rows.size());
            for (int i = 0; i < total; ++i) {
                if (!InsertRow(db, rows[static_cast<std::size_t>(i)], error))
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

std::optional<std::vector<LogEntry>> LogBook::Select(const QString& clause, const QVariant& bound,
                                                     QString* error) const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    const bool prepared = q.prepare(QStringLiteral("SELECT ID, %1 FROM %2 %3")
                                        .arg(LogColumns().join(QStringLiteral(", ")), table_,
                                             clause));
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
        QsoRow& r = e.row;
        QString* fields[] = {&r.date,       &r.time,       &r.call,     &r.frequency,
                             &r.band,       &r.mode,       &r.sent,     &r.received,
                             &r.dxccPrefix, &r.mainPrefix, &r.continent};
        for (int i = 0; i < static_cast<int>(std::size(fields)); ++i)
            *fields[i] = Text(q, i + 1);
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
            QStringList assignments;
            for (const QString& column : LogColumns())
                assignments << column + QStringLiteral(" = ?");
            QSqlQuery q(db);
            if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE ID = ?")
                               .arg(table_, assignments.join(QStringLiteral(", "))))) {
                SetError(error, q.lastError().text());
                return false;
            }
            for (const QString& v : Values(row))
                q.addBindValue(v);
            q.addBindValue(id);
            return ExecOnOneRow(q, QStringLiteral("Cannot change"), id, row.call, error);
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
            return ExecOnOneRow(q, QStringLiteral("Cannot delete"), id, QString(), error);
        },
        error);
}

bool LogBook::Restore(qint64 id, const QsoRow& row, QString* error) {
    return InTransaction([&](QSqlDatabase& db) { return InsertRow(db, row, error, nullptr, id); },
                         error);
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

int LogBook::Count() const {
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table_)) || !q.next())
        return 0;
    return q.value(0).toInt();
}

} // namespace qarvel
