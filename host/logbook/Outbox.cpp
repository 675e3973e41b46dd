#include "logbook/Outbox.h"

#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <atomic>

namespace qarvel {

Outbox::Outbox(const QString& path) : path_(path) {
    static std::atomic<int> next{0};
    connection_ = QStringLiteral("qarvel-outbox-%1").arg(++next);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    if (!db.open()) {
        error_ = QStringLiteral("Cannot open the outbox %1: %2")
                     .arg(path, db.lastError().text().trimmed());
        return;
    }
    QStringList columns;
    for (const QString& c : LogColumns())
        columns << (c == QLatin1String("QsoId") ? QStringLiteral("QsoId TEXT PRIMARY KEY")
                                                : c + QStringLiteral(" TEXT"));
    QSqlQuery q(db);
    for (const QString& sql :
         {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=FULL"),
          QStringLiteral("CREATE TABLE IF NOT EXISTS Outbox (%1)")
              .arg(columns.join(QStringLiteral(", ")))})
        if (!q.exec(sql)) {
            error_ = QStringLiteral("Cannot set up the outbox %1: %2")
                         .arg(path, q.lastError().text().trimmed());
            return;
        }
}

Outbox::~Outbox() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QString Outbox::PathFor(const QString& location, const QString& table) {
    // Not even a hash of a password: a guessable one could be found from it.
    const QString shown = LogLocationShown(location) + QLatin1Char('/') + table.toLower();
    const QByteArray tag =
        QCryptographicHash::hash(shown.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/outbox/") + QString::fromLatin1(tag) + QStringLiteral(".sqlite");
}

bool Outbox::Put(const std::vector<QsoRow>& rows, QString* error) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList marks;
    for (qsizetype i = 0; i < LogColumns().size(); ++i)
        marks << QStringLiteral("?");
    if (!IsOpen() || !db.transaction()) {
        if (error)
            *error = IsOpen() ? db.lastError().text() : error_;
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO Outbox (%1) VALUES (%2)")
                  .arg(LogColumns().join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const QsoRow& row : rows) {
        for (const QString& v : LogColumnValues(row))
            q.addBindValue(v);
        if (!q.exec()) {
            if (error)
                *error = QStringLiteral("Cannot keep %1 in the outbox: %2")
                             .arg(row.call, q.lastError().text().trimmed());
            db.rollback();
            return false;
        }
    }
    if (db.commit())
        return true;
    if (error)
        *error = db.lastError().text();
    db.rollback();
    return false;
}

std::vector<QsoRow> Outbox::Rows() const {
    std::vector<QsoRow> rows;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (IsOpen() && q.exec(QStringLiteral("SELECT %1 FROM Outbox ORDER BY rowid")
                               .arg(LogColumns().join(QStringLiteral(", ")))))
        while (q.next()) {
            QsoRow r;
            for (int i = 0; i < static_cast<int>(LogColumns().size()); ++i)
                *LogColumnField(r, LogColumns()[i]) = q.value(i).toString();
            rows.push_back(std::move(r));
        }
    return rows;
}

bool Outbox::Remove(const std::vector<QsoRow>& rows, QString* error) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!IsOpen() || !db.transaction())
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM Outbox WHERE QsoId = ?"));
    for (const QsoRow& row : rows) {
        q.addBindValue(row.qsoId);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

int Outbox::Count() const {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!IsOpen() || !q.exec(QStringLiteral("SELECT COUNT(*) FROM Outbox")) || !q.next())
        return 0;
    return q.value(0).toInt();
}

} // namespace qarvel
