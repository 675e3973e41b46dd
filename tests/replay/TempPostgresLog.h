#pragma once

#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "PostgresServer.h"
#include "TempSqliteLog.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmar::testing {

// A log table in a fresh database of the test process's PostgreSQL server,
// opened the way qarvel opens it, under the connection name
// "qarvel-log-<n>". `callSignCollation`, when given, is the collation of the
// CallSign column, which decides the order the replay sees.
class TempPostgresLog {
public:
    explicit TempPostgresLog(int connection = 1, const QString& table = QStringLiteral("Log"),
                             const QString& callSignCollation = {})
        : name_(QStringLiteral("qarvel-log-%1").arg(connection)), table_(table) {
        PostgresServer& server = PostgresServer::Shared();
        if (!server.Running())
            throw std::runtime_error(server.Failure().toStdString());
        QString error;
        database_ = server.CreateDatabase(&error);
        if (database_.isEmpty())
            throw std::runtime_error(error.toStdString());
        if (!qarvel::OpenLogDatabase(server.SocketUrl(database_), name_, &error))
            throw std::runtime_error(error.toStdString());
        if (!callSignCollation.isEmpty())
            Exec(QStringLiteral("CREATE COLLATION %1 (provider = icu, locale = "
                                "'und-u-ks-level2', deterministic = false)")
                     .arg(callSignCollation));
        QString create = QStringLiteral("CREATE TABLE %1 (ID SERIAL PRIMARY KEY").arg(table_);
        for (const QString& column : qarvel::LogColumns()) {
            create += QStringLiteral(", %1 TEXT").arg(column);
            if (column == QLatin1String("CallSign") && !callSignCollation.isEmpty())
                create += QStringLiteral(" COLLATE %1").arg(callSignCollation);
        }
        Exec(create + QLatin1Char(')'));
    }
    ~TempPostgresLog() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    TempPostgresLog(const TempPostgresLog&) = delete;
    TempPostgresLog& operator=(const TempPostgresLog&) = delete;

    QSqlDatabase Db() const { return QSqlDatabase::database(name_, false); }
    QString Database() const { return database_; }

    void Exec(const QString& sql) {
        QSqlQuery q(Db());
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
    }

    void Insert(const std::vector<LogRow>& rows) {
        Db().transaction();
        for (const LogRow& row : rows) {
            QSqlQuery q(Db());
            q.prepare(QStringLiteral("INSERT INTO %1 (CallSign, DigiBand, QSOMode, Continent, "
                                     "QSOReportRecived, DXCCPrefix, MainPrefix) "
                                     "VALUES (?,?,?,?,?,?,?)")
                          .arg(table_));
            for (const std::string* v : {&row.call, &row.band, &row.mode, &row.continent,
                                         &row.exchange, &row.prefix, &row.mainPrefix})
                q.addBindValue(QString::fromLocal8Bit(v->c_str()));
            if (!q.exec())
                throw std::runtime_error(q.lastError().text().toStdString());
        }
        Db().commit();
    }

private:
    QString name_;
    QString table_;
    QString database_;
};

} // namespace zelmar::testing
