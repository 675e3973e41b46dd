#pragma once

#include <QSqlDatabase>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct pg_conn;

namespace qarvel {

// A bound on every statement the shared log's worker sends. A server that
// is frozen (stopped, swapped out, behind a dead link that still takes
// packets) answers neither the statement nor its own statement_timeout, and
// the kernel keeps acknowledging keepalives; only the client can end the
// wait. When a statement runs past its deadline, the watchdog shuts the
// connection's socket down, the driver's blocked read returns, and the
// statement fails like any lost connection.
class StatementWatchdog {
public:
    StatementWatchdog();
    ~StatementWatchdog();
    StatementWatchdog(const StatementWatchdog&) = delete;
    StatementWatchdog& operator=(const StatementWatchdog&) = delete;

    // libpq's connection under the PostgreSQL connection `db`, or null.
    static pg_conn* ConnectionOf(const QSqlDatabase& db);
    // The socket of the PostgreSQL connection `db`; -1 when it has none.
    static int SocketOf(const QSqlDatabase& db);

    // Watches statements on `socket` (-1: none) from now on.
    void Watch(int socket);
    // Called around each statement.
    void Arm(std::chrono::milliseconds limit);
    void Disarm();
    // Whether the last armed statement ran out of time.
    bool Fired() const;

private:
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    int socket_ = -1;
    bool armed_ = false;
    bool fired_ = false;
    bool stop_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};

// Arms the watchdog for one statement.
class WatchedStatement {
public:
    WatchedStatement(StatementWatchdog& dog, std::chrono::milliseconds limit) : dog_(dog) {
        dog_.Arm(limit);
    }
    ~WatchedStatement() { dog_.Disarm(); }
    WatchedStatement(const WatchedStatement&) = delete;
    WatchedStatement& operator=(const WatchedStatement&) = delete;

private:
    StatementWatchdog& dog_;
};

} // namespace qarvel
