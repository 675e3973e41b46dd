#pragma once

#include <QString>

namespace qarvel {

// Which shared log a postgresql:// address names, as far as this position's
// copy of it is concerned: the server, its port, the database and the log
// table. The user, the password and the way the address is spelt play no
// part, so `localhost`, `127.0.0.1` and the local socket folder all name
// the same log, and restarting with another spelling finds the same copy.
class SharedLogAddress {
public:
    // `location` is a postgresql:// or postgres:// address.
    SharedLogAddress(const QString& location, const QString& table);

    const QString& Host() const { return host_; }
    int Port() const { return port_; }
    const QString& Database() const { return database_; }
    const QString& Table() const { return table_; }

    // "host:port/database/table": readable, never with a password.
    QString Key() const;
    // This position's copy of the log, in qarvel's data folder.
    QString CopyPath() const;

private:
    QString host_;
    int port_ = 5432;
    QString database_;
    QString table_;
};

} // namespace qarvel
