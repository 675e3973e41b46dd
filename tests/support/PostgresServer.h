#pragma once

#include <QString>
#include <string>

namespace zelmar::testing {

// A PostgreSQL server of the test process's own, from Debian's postgresql
// package: a fresh cluster in a temporary folder, listening on a Unix socket
// in that folder and on a free loopback port. The server refuses to run as
// root, so a root test run starts it as "nobody". Every client connects as
// the superuser User() without a password.
class PostgresServer {
public:
    // The server of this process, started on first use and stopped when the
    // process ends. Running() tells whether the start worked.
    static PostgresServer& Shared();

    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool Start();
    void Stop();
    // Stops the server keeping its data, and starts it again on the same
    // port and socket folder, as a server restarted by its administrator.
    bool Pause();
    bool Resume();

    // Sends `signal` (SIGSTOP, SIGCONT) to the server and every process it
    // started: a server that hangs without closing a connection.
    bool SignalAll(int signal);

    bool Running() const { return running_; }
    // Why the server could not be started; empty while it runs.
    const QString& Failure() const { return failure_; }

    QString SocketDir() const { return QString::fromStdString(folder_); }
    int Port() const { return port_; }
    static QString User() { return QStringLiteral("qarvel"); }

    // Creates an empty database and returns its name, unique in this process.
    // Empty, with the server's text in `error`, when that fails. `options`
    // follow CREATE DATABASE's name, e.g. a locale of its own.
    QString CreateDatabase(QString* error, const QString& options = {});

    // Addresses of `database` as OpenLogDatabase takes them.
    QString SocketUrl(const QString& database) const;
    QString LoopbackUrl(const QString& database) const;

private:
    bool Fail(const QString& text);
    bool PrepareCluster(const std::string& bin);

    bool running_ = false;
    QString failure_;
    std::string folder_;
    std::string dataDir_;
    std::string pgCtl_;
    std::string options_;
    int port_ = 0;
    int databases_ = 0;
};

} // namespace zelmar::testing
