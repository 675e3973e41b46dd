#include "logbook/SharedLogCopy.h"

#include "logbook/LogSchema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace qarvel {

namespace {

QString KindText(SharedLogCopy::Kind kind) {
    switch (kind) {
    case SharedLogCopy::Kind::Insert:
        return QStringLiteral("INSERT");
    case SharedLogCopy::Kind::Update:
        return QStringLiteral("UPDATE");
    case SharedLogCopy::Kind::Delete:
        break;
    }
    return QStringLiteral("DELETE");
}

SharedLogCopy::Kind KindOf(const QString& text) {
    if (text == QLatin1String("INSERT"))
        return SharedLogCopy::Kind::Insert;
    if (text == QLatin1String("UPDATE"))
        return SharedLogCopy::Kind::Update;
    return SharedLogCopy::Kind::Delete;
}

bool Fail(QString* error, const QString& what, const QSqlQuery& q) {
    if (error)
        *error = QStringLiteral("%1: %2").arg(what, q.lastError().text().trimmed());
    return false;
}

} // namespace

bool SharedLogCopy::Open(const QString& path, const QString& connectionName, const QString& table,
                         QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        // The worker thread and the window write into the same file.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        QString why;
        if (!db.open()) {
            why = db.lastError().text().trimmed();
        } else {
            QSqlQuery q(db);
            QStringList columns;
            for (const QString& c : LogColumns())
                columns << c + QStringLiteral(" TEXT");
            for (const QString& sql :
                 {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=FULL"),
                  QStringLiteral("CREATE TABLE IF NOT EXISTS QarvelPending (Seq INTEGER PRIMARY "
                                 "KEY AUTOINCREMENT, Kind TEXT NOT NULL, %1, Refused TEXT)")
                      .arg(columns.join(QStringLiteral(", ")))})
                if (why.isEmpty() && !q.exec(sql))
                    why = q.lastError().text().trimmed();
            if (why.isEmpty())
                EnsureLogTable(db, table, &why);
        }
        ok = why.isEmpty();
        if (!ok && error)
            *error = QStringLiteral("Cannot open this position's copy of the shared log %1: %2")
                         .arg(path, why);
        if (!ok)
            db.close();
    }
    if (!ok)
        QSqlDatabase::removeDatabase(connectionName);
    return ok;
}

SharedLogCopy::SharedLogCopy(QString connectionName, QString table)
    : connectionName_(std::move(connectionName)), table_(std::move(table)) {}

QSqlDatabase SharedLogCopy::Database() const {
    return QSqlDatabase::database(connectionName_, false);
}

std::optional<QsoRow> SharedLogCopy::ReadRow(QSqlDatabase& db, const QString& table,
                                            qint64 localId) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?")
                  .arg(LogColumns().join(QStringLiteral(", ")), table));
    q.addBindValue(localId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    QsoRow r;
    for (int i = 0; i < static_cast<int>(LogColumns().size()); ++i)
        *LogColumnField(r, LogColumns()[i]) = q.value(i).isNull() ? QString() : q.value(i).toString();
    return r;
}

bool SharedLogCopy::Record(QSqlDatabase& db, Kind kind, qint64 localId, QString* error) const {
    const std::optional<QsoRow> row = ReadRow(db, table_, localId);
    if (!row || row->qsoId.isEmpty()) {
        if (error)
            *error = QStringLiteral("QSO number %1 has no id in the copy").arg(localId);
        return false;
    }
    QSqlQuery q(db);
    if (kind != Kind::Insert) {
        q.prepare(QStringLiteral("SELECT Seq FROM QarvelPending WHERE QsoId = ? AND Kind = "
                                 "'INSERT' ORDER BY Seq DESC LIMIT 1"));
        q.addBindValue(row->qsoId);
        if (!q.exec())
            return Fail(error, QStringLiteral("Cannot read what waits"), q);
        if (q.next()) {
            const qint64 seq = q.value(0).toLongLong();
            QSqlQuery change(db);
            if (kind == Kind::Delete) {
                change.prepare(QStringLiteral("DELETE FROM QarvelPending WHERE QsoId = ? AND Seq >= ?"));
                change.addBindValue(row->qsoId);
                change.addBindValue(seq);
            } else {
                QStringList assignments;
                for (const QString& c : LogColumns())
                    assignments << c + QStringLiteral(" = ?");
                change.prepare(QStringLiteral("UPDATE QarvelPending SET %1, Refused = NULL WHERE Seq = ?")
                                   .arg(assignments.join(QStringLiteral(", "))));
                for (const QString& v : LogColumnValues(*row))
                    change.addBindValue(v);
                change.addBindValue(seq);
            }
            if (!change.exec())
                return Fail(error, QStringLiteral("Cannot keep the change"), change);
            return true;
        }
    }
    QStringList marks;
    for (qsizetype i = 0; i < LogColumns().size(); ++i)
        marks << QStringLiteral("?");
    q.prepare(QStringLiteral("INSERT INTO QarvelPending (Kind, %1) VALUES (?, %2)")
                  .arg(LogColumns().join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    q.addBindValue(KindText(kind));
    for (const QString& v : LogColumnValues(*row))
        q.addBindValue(v);
    if (!q.exec())
        return Fail(error, QStringLiteral("Cannot keep the change for the server"), q);
    return true;
}

std::vector<SharedLogCopy::Change> SharedLogCopy::Pending(bool withRefused) const {
    std::vector<Change> changes;
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Seq, Kind, Refused, %1 FROM QarvelPending %2 ORDER BY Seq")
                    .arg(LogColumns().join(QStringLiteral(", ")),
                         withRefused ? QString() : QStringLiteral("WHERE Refused IS NULL"))))
        return changes;
    while (q.next()) {
        Change c;
        c.seq = q.value(0).toLongLong();
        c.kind = KindOf(q.value(1).toString());
        c.refused = q.value(2).isNull() ? QString() : q.value(2).toString();
        for (int i = 0; i < static_cast<int>(LogColumns().size()); ++i)
            *LogColumnField(c.row, LogColumns()[i]) =
                q.value(i + 3).isNull() ? QString() : q.value(i + 3).toString();
        changes.push_back(std::move(c));
    }
    return changes;
}

bool SharedLogCopy::Done(qint64 seq) const {
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("DELETE FROM QarvelPending WHERE Seq = ?"));
    q.addBindValue(seq);
    return q.exec();
}

bool SharedLogCopy::Refuse(qint64 seq, const QString& reason) const {
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("UPDATE QarvelPending SET Refused = ? WHERE Seq = ?"));
    q.addBindValue(reason.isEmpty() ? QStringLiteral("refused") : reason);
    q.addBindValue(seq);
    return q.exec();
}

int SharedLogCopy::Waiting() const {
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM QarvelPending WHERE Refused IS NULL")) ||
        !q.next())
        return 0;
    return q.value(0).toInt();
}

std::vector<QString> SharedLogCopy::PendingIds() const {
    std::vector<QString> ids;
    QSqlQuery q(Database());
    if (q.exec(QStringLiteral("SELECT DISTINCT QsoId FROM QarvelPending")))
        while (q.next())
            ids.push_back(q.value(0).toString());
    return ids;
}

} // namespace qarvel
