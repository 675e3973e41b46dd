#pragma once

#include <QString>

namespace qarvel {

// Opens the log named by `location` as the Qt SQL connection `connectionName`:
//   a file path, or sqlite:///absolute/path   an SQLite log file (created when missing)
//   postgresql://user[:password]@[host][:port]/database[?keyword=value&...]
//                                             a log shared by several positions; every
//                                             item is one of libpq's connection
//                                             keywords (host=/socket/folder, port,
//                                             service, sslmode, ...), and host and port
//                                             override the authority, as libpq reads
//                                             them. Without a password libpq's own ways
//                                             give it: ~/.pgpass, PGPASSWORD, a service
//                                             file.
// An existing SQLite file is checked whole first, without writing into it;
// a sound one is then switched to write-ahead logging with full syncs, so a
// QSO committed survives a crash or a power cut.
// On failure returns false with a message for the operator in `error`, and
// leaves no connection of that name behind. The message never shows a
// password. `damaged` tells whether the file failed the check (or is no
// SQLite database at all).
bool OpenLogDatabase(const QString& location, const QString& connectionName, QString* error,
                     bool* damaged = nullptr);

// Opens an existing log for a run that only reads it: an SQLite file is
// checked as OpenLogDatabase does, then opened read-only, without the
// write-ahead set-up and, while no write-ahead log lies beside it, without
// leaving side files behind; nothing is created or upgraded. A PostgreSQL
// log is opened as usual (only read, by the caller). False, with the
// reason, when the log or its table `table` is not there.
bool OpenLogDatabaseForReading(const QString& location, const QString& connectionName,
                               const QString& table, QString* error, bool* damaged = nullptr);

// `location` as it may be shown (a title, a message, a log line): a
// PostgreSQL address without its password, whether in the authority or as
// a password item.
QString LogLocationShown(const QString& location);

// True when `location` names a PostgreSQL log.
bool IsPostgresAddress(const QString& location);

// The file of an SQLite log `location`; empty for a PostgreSQL address or an
// SQLite address without a path.
QString SqliteLogPath(const QString& location);

} // namespace qarvel
