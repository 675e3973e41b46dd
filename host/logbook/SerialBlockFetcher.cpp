#include "logbook/SerialBlockFetcher.h"

#include "logbook/LogConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace qarvel {

SerialBlockFetcher::SerialBlockFetcher(QString location, QString table)
    : location_(std::move(location)), table_(std::move(table)),
      connection_(QStringLiteral("qarvel-serials-") +
                  QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

SerialBlockFetcher::~SerialBlockFetcher() {
    Close();
}

bool SerialBlockFetcher::Open(QString* error) {
    if (QSqlDatabase::contains(connection_) && QSqlDatabase::database(connection_, false).isOpen())
        return true;
    Close();
    if (!OpenLogDatabase(location_, connection_, error))
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("SET statement_timeout = %1").arg(kStatementTimeoutMs)) ||
        !q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS QarvelSerial ("
                               "LogTable VARCHAR(64) PRIMARY KEY, Highest INTEGER NOT NULL)"))) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

void SerialBlockFetcher::Close() {
    if (!QSqlDatabase::contains(connection_))
        return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

void SerialBlockFetcher::Reserve(int count) {
    QString error;
    if (!Open(&error)) {
        Close();
        emit Failed(error);
        return;
    }
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    // The first position starts the count above any serial the log holds
    // already; a second one doing the same at once finds the row there.
    q.prepare(QStringLiteral(
                  "INSERT INTO QarvelSerial (LogTable, Highest) SELECT ?, COALESCE(MAX(CAST("
                  "substring(QSOReportSent from '^\\S+\\s+0*(\\d{1,9})$') AS INTEGER)), 0) "
                  "FROM %1 ON CONFLICT (LogTable) DO NOTHING")
                  .arg(table_));
    q.addBindValue(table_);
    bool ok = q.exec();
    if (ok) {
        q.prepare(QStringLiteral("UPDATE QarvelSerial SET Highest = Highest + ? "
                                 "WHERE LogTable = ? RETURNING Highest"));
        q.addBindValue(count);
        q.addBindValue(table_);
        ok = q.exec() && q.next();
    }
    if (!ok) {
        error = q.lastError().text();
        Close();
        emit Failed(error);
        return;
    }
    const int last = q.value(0).toInt();
    emit Reserved(last - count + 1, last);
}

} // namespace qarvel
