#include "logbook/StatementWatchdog.h"

#include <QSqlDriver>
#include <QVariant>
#include <libpq-fe.h>
#include <sys/socket.h>

namespace qarvel {

StatementWatchdog::StatementWatchdog() : thread_([this] { Run(); }) {}

StatementWatchdog::~StatementWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

pg_conn* StatementWatchdog::ConnectionOf(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver())
        return nullptr;
    // The driver's handle, as Qt documents it for QPSQL (PGconn is libpq's
    // name for struct pg_conn, which the type name may show).
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "PGconn*") != 0 &&
                              qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.data());
}

int StatementWatchdog::SocketOf(const QSqlDatabase& db) {
    PGconn* conn = ConnectionOf(db);
    return conn ? PQsocket(conn) : -1;
}

void StatementWatchdog::Watch(int socket) {
    std::lock_guard lock(mutex_);
    socket_ = socket;
    armed_ = false;
    fired_ = false;
}

void StatementWatchdog::Arm(std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + limit;
        armed_ = true;
        fired_ = false;
    }
    wake_.notify_all();
}

void StatementWatchdog::Disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
}

bool StatementWatchdog::Fired() const {
    std::lock_guard lock(mutex_);
    return fired_;
}

void StatementWatchdog::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (!armed_) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ && !stop_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            // The socket stays open (the driver closes it); only its traffic ends.
            if (socket_ >= 0)
                ::shutdown(socket_, SHUT_RDWR);
            fired_ = true;
            armed_ = false;
        }
    }
}

} // namespace qarvel
