#pragma once

#include "logbook/LogSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <stdexcept>
#include <string>
#include <vector>

namespace zelmar::testing {

// One row of a test log, in the columns the plug-in reads.
struct LogRow {
    std::string call, band, mode, continent, exchange, prefix, mainPrefix;
};

// An SQLite log in a temporary folder, registered under the connection name
// the host would give it ("qarvel-log-<n>").
class TempSqliteLog {
public:
    explicit TempSqliteLog(int connection = 1, const QString& table = QStringLiteral("Log"))
        : name_(QStringLiteral("qarvel-log-%1").arg(connection)), table_(table) {
        if (!dir_.isValid())
            throw std::runtime_error("no temporary folder");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(dir_.filePath(QStringLiteral("log.sqlite")));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QString error;
        if (!qarvel::EnsureLogTable(db, table_, &error))
            throw std::runtime_error(error.toStdString());
    }
    ~TempSqliteLog() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }

    QSqlDatabase Db() const { return QSqlDatabase::database(name_, false); }
    QString Path() const { return dir_.filePath(QStringLiteral("log.sqlite")); }

    void Insert(const LogRow& row) {
        QSqlQuery q(Db());
        q.prepare(QStringLiteral("INSERT INTO %1 (CallSign, DigiBand, QSOMode, Continent, "
                                 "QSOReportRecived, DXCCPrefix, MainPrefix) VALUES (?,?,?,?,?,?,?)")
                      .arg(table_));
        for (const std::string* v : {&row.call, &row.band, &row.mode, &row.continent,
                                     &row.exchange, &row.prefix, &row.mainPrefix})
            q.addBindValue(QString::fromLocal8Bit(v->c_str()));
        if (!q.exec())
            throw std::runtime_error(q.lastError().text().toStdString());
    }
    void Insert(const std::vector<LogRow>& rows) {
        Db().transaction();
        for (const auto& r : rows)
            Insert(r);
        Db().commit();
    }

private:
    QTemporaryDir dir_;
    QString name_;
    QString table_;
};

} // namespace zelmar::testing
