#pragma once

#include <QString>

namespace qarvel {

// Opens the log named by `location` as the Qt SQL connection `connectionName`:
//   a file path, or sqlite:///absolute/path   an SQLite log file (created when missing)
//   postgresql://user[:password]@[host][:port]/database[?host=/socket/folder][&port=n]
//                                             a log shared by several positions; the
//                                             host and port items override the
//                                             authority, as libpq reads them
// On failure returns false with a message for the operator in `error`, and
// leaves no connection of that name behind. The message never shows a
// password.
bool OpenLogDatabase(const QString& location, const QString& connectionName, QString* error);

// True when `location` names a PostgreSQL log.
bool IsPostgresAddress(const QString& location);

} // namespace qarvel
