#pragma once

#include "TempPostgresLog.h"
#include "TempSqliteLog.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmar::testing {

enum class Backend { SQLite, PostgreSQL };

inline std::string BackendName(Backend b) {
    return b == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

// A log table "Log" on connection "qarvel-log-1", in either database, for
// the tests that must hold for both.
class ReplayLog {
public:
    virtual ~ReplayLog() = default;
    virtual QSqlDatabase Db() const = 0;
    virtual void Insert(const std::vector<LogRow>& rows) = 0;
    // The schema that holds Log, for a qualified table name.
    virtual std::string Schema() const = 0;
    // Turns Log into a view over the same rows whose Continent cannot be
    // read for the row of `call`: the database fails at that row, after
    // handing over the rows before it.
    virtual void MakeRowUnreadable(const std::string& call) = 0;

    void Exec(const QString& sql) {
        QSqlQuery q(Db());
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
    }

    // Nullptr, with the reason in `whyNot`, when the database cannot be had.
    static std::unique_ptr<ReplayLog> Make(Backend backend, std::string* whyNot);

protected:
    static QString ViewColumns() {
        return QStringLiteral("CallSign, DigiBand, QSOMode, QSOReportRecived, DXCCPrefix, "
                              "MainPrefix");
    }
};

class SqliteReplayLog : public ReplayLog {
public:
    QSqlDatabase Db() const override { return log_.Db(); }
    void Insert(const std::vector<LogRow>& rows) override { log_.Insert(rows); }
    std::string Schema() const override { return "main"; }
    void MakeRowUnreadable(const std::string& call) override {
        // With an index the rows are read in index order, one step each, so
        // the overflow of abs() strikes at that row and not before the first.
        Exec(QStringLiteral("ALTER TABLE Log RENAME TO LogRows"));
        Exec(QStringLiteral("CREATE INDEX LogRowsByCall ON LogRows (CallSign)"));
        Exec(QStringLiteral("CREATE VIEW Log AS SELECT %1, CASE WHEN CallSign = '%2' THEN "
                            "abs(-9223372036854775808) ELSE Continent END AS Continent "
                            "FROM LogRows")
                 .arg(ViewColumns(), QString::fromStdString(call)));
    }

private:
    TempSqliteLog log_;
};

class PostgresReplayLog : public ReplayLog {
public:
    QSqlDatabase Db() const override { return log_.Db(); }
    void Insert(const std::vector<LogRow>& rows) override { log_.Insert(rows); }
    std::string Schema() const override { return "public"; }
    void MakeRowUnreadable(const std::string& call) override {
        // Read through the index, each row is computed as it is sent; the
        // session's planner must not sort the whole table first.
        Exec(QStringLiteral("ALTER TABLE Log RENAME TO LogRows"));
        Exec(QStringLiteral("CREATE INDEX LogRowsByCall ON LogRows (CallSign)"));
        Exec(QStringLiteral("CREATE VIEW Log AS SELECT %1, CASE WHEN CallSign = '%2' THEN "
                            "(1 / (length(CallSign) - %3))::text ELSE Continent END AS "
                            "Continent FROM LogRows")
                 .arg(ViewColumns(), QString::fromStdString(call))
                 .arg(call.size()));
        Exec(QStringLiteral("SET enable_seqscan = off"));
        Exec(QStringLiteral("SET enable_sort = off"));
    }

private:
    TempPostgresLog log_;
};

inline std::unique_ptr<ReplayLog> ReplayLog::Make(Backend backend, std::string* whyNot) {
    if (backend == Backend::SQLite)
        return std::make_unique<SqliteReplayLog>();
    PostgresServer& server = PostgresServer::Shared();
    if (!server.Running()) {
        *whyNot = "PostgreSQL server could not be started: " + server.Failure().toStdString();
        return nullptr;
    }
    return std::make_unique<PostgresReplayLog>();
}

} // namespace zelmar::testing
