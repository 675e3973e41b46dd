#include "logbook/LogConnection.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QUrl>
#include <QUrlQuery>

namespace qarvel {

namespace {

bool OpenOrExplain(QSqlDatabase& db, const QString& shownLocation, QString* text) {
    if (db.open())
        return true;
    *text = QStringLiteral("Cannot open the log %1: %2")
                .arg(shownLocation, db.lastError().text().trimmed());
    return false;
}

// libpq's form of one keyword's value: quoted, so that blanks and quotes
// stay inside it.
QString ConnectValue(QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

bool OpenPostgres(const QString& location, const QString& connectionName, QString* text) {
    const QUrl url(location);
    // Shown to the operator, so never with the password.
    const QString shown = LogLocationShown(location);
    const QUrlQuery query(url);
    int port = url.port();
    bool portOk = true;
    if (query.hasQueryItem(QStringLiteral("port")))
        port = query.queryItemValue(QStringLiteral("port"), QUrl::FullyDecoded).toInt(&portOk);
    // A service may name the database itself.
    const bool service = query.hasQueryItem(QStringLiteral("service"));
    if (!url.isValid() || (url.path().size() < 2 && !service) || !portOk) {
        *text = QStringLiteral("Not a PostgreSQL address: %1").arg(shown);
        return false;
    }
    // The driver hands its options on to libpq separated by ';'.
    QStringList options;
    static const QRegularExpression keyword(QStringLiteral("^[a-z_]+$"));
    QString password = url.password(QUrl::FullyDecoded);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host") || key == QLatin1String("port"))
            continue;
        if (key == QLatin1String("password")) {
            password = value;
            continue;
        }
        if (!keyword.match(key).hasMatch() || value.contains(QLatin1Char(';'))) {
            *text = QStringLiteral("Not a PostgreSQL address: %1 (the item %2)").arg(shown, key);
            return false;
        }
        options << key + QLatin1Char('=') + ConnectValue(value);
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid()) {
        *text = QStringLiteral("The PostgreSQL driver is not installed");
        return false;
    }
    db.setDatabaseName(url.path(QUrl::FullyDecoded).mid(1));
    // host=/some/folder selects a Unix socket folder, as libpq reads it.
    QString host = url.host(QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("host")))
        host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (!host.isEmpty())
        db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    if (!url.userName().isEmpty())
        db.setUserName(url.userName(QUrl::FullyDecoded));
    if (!password.isEmpty())
        db.setPassword(password);
    // Every wait on the server is bounded: the connection attempt, and a
    // link that dies silently (keepalives for an idle connection, the TCP
    // user timeout for data the server never acknowledges). The address's
    // own items come after, so they may say otherwise.
    options.prepend(QStringLiteral("connect_timeout=3;keepalives=1;keepalives_idle=5;"
                                   "keepalives_interval=2;keepalives_count=2;"
                                   "tcp_user_timeout=5000"));
    db.setConnectOptions(options.join(QLatin1Char(';')));
    return OpenOrExplain(db, shown, text);
}

// SQLite's primary result codes, as the Qt driver reports them.
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

enum class FileCheck { Sound, Damaged, Unreadable };

// SQLite's integrity check of the log open as `db`, the file at `path`.
FileCheck Check(QSqlDatabase& db, const QString& path, QString* text) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList problems;
    if (q.exec(QStringLiteral("PRAGMA integrity_check")))
        while (q.next())
            if (q.value(0).toString() != QLatin1String("ok"))
                problems << q.value(0).toString().simplified();
    const QSqlError error = q.lastError();
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (error.isValid() && code == kSqliteNotADatabase) {
        *text = QStringLiteral("The log %1 is not an SQLite database.").arg(path);
        return FileCheck::Damaged;
    }
    if (error.isValid() && code != kSqliteCorrupt) {
        *text = QStringLiteral("Cannot check the log %1: %2").arg(path, error.text().trimmed());
        return FileCheck::Unreadable;
    }
    if (!error.isValid() && problems.isEmpty())
        return FileCheck::Sound;
    if (error.isValid())
        problems.prepend(error.databaseText().simplified());
    // The check lists up to a hundred findings; the first few say enough.
    *text = QStringLiteral("The log %1 is damaged: %2.")
                .arg(path, problems.mid(0, 3).join(QStringLiteral("; ")));
    return FileCheck::Damaged;
}

// Sets `db` up to read the SQLite file `path` without writing anything.
// Without a write-ahead log beside it the file holds every commit, and
// reading it as immutable leaves no new side files behind (a read-only
// connection would leave an empty write-ahead log and its index).
void ReadOnlyName(QSqlDatabase& db, const QString& path) {
    const bool alone = !QFileInfo::exists(path + QStringLiteral("-wal"));
    db.setDatabaseName(alone ? QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                                   QStringLiteral("?immutable=1")
                             : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
}

// Checks an existing file through a read-only connection of its own: a
// damaged log must not be written into, and a connection that may write
// would also fold a left-over write-ahead log into the file when it closes.
FileCheck CheckReadOnly(const QString& path, const QString& connectionName, QString* text) {
    FileCheck result = FileCheck::Unreadable;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        ReadOnlyName(db, path);
        if (!db.isValid())
            *text = QStringLiteral("The SQLite driver is not installed");
        else if (OpenOrExplain(db, path, text))
            result = Check(db, path, text);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return result;
}

// Every log qarvel opens is set up here, and the module reads through the
// same connection, so both write and read under these settings. Where the
// file system refuses write-ahead logging SQLite keeps its rollback journal,
// which full syncs make just as durable; a file that cannot be written at
// all can still be scored and exported.
bool MakeDurable(QSqlDatabase& db, const QString& location, QString* text) {
    QSqlQuery q(db);
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"})
        if (!q.exec(QLatin1String(pragma)) &&
            (q.lastError().nativeErrorCode().toInt() & 0xff) != kSqliteReadOnly) {
            *text = QStringLiteral("Cannot set the log %1 up for safe writing: %2")
                        .arg(location, q.lastError().text().trimmed());
            return false;
        }
    return true;
}

bool OpenSqlite(const QString& location, const QString& connectionName, QString* text,
                bool* damaged) {
    const QString path = SqliteLogPath(location);
    if (path.isEmpty()) {
        *text = QStringLiteral("Not an SQLite log file: %1").arg(location);
        return false;
    }
    const QString shown = QFileInfo(path).absoluteFilePath();
    // A rollback journal left by a crash must be rolled back, which takes a
    // connection that may write; it writes nothing into the log on closing.
    const bool hotJournal = QFileInfo::exists(path + QStringLiteral("-journal"));
    if (QFileInfo::exists(path) && !hotJournal) {
        const FileCheck check =
            CheckReadOnly(shown, connectionName + QStringLiteral("-check"), text);
        if (check != FileCheck::Sound) {
            *damaged = check == FileCheck::Damaged;
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!db.isValid()) {
        *text = QStringLiteral("The SQLite driver is not installed");
        return false;
    }
    db.setDatabaseName(path);
    if (!OpenOrExplain(db, location, text))
        return false;
    if (hotJournal) {
        const FileCheck check = Check(db, shown, text);
        if (check != FileCheck::Sound) {
            *damaged = check == FileCheck::Damaged;
            db.close();
            return false;
        }
    }
    if (MakeDurable(db, location, text))
        return true;
    db.close();
    return false;
}

} // namespace

bool OpenLogDatabaseForReading(const QString& location, const QString& connectionName,
                               const QString& table, QString* error, bool* damaged) {
    QString text;
    bool badFile = false;
    bool opened = false;
    const QString path = SqliteLogPath(location);
    if (IsPostgresAddress(location)) {
        opened = OpenPostgres(location, connectionName, &text);
    } else if (path.isEmpty()) {
        text = QStringLiteral("Not an SQLite log file: %1").arg(location);
    } else if (!QFileInfo::exists(path)) {
        text = QStringLiteral("There is no log %1").arg(QFileInfo(path).absoluteFilePath());
    } else if (QFileInfo::exists(path + QStringLiteral("-journal"))) {
        // A crash left a rollback journal: only a connection that may write
        // can roll it back, and reading past it would give half a change.
        text = QStringLiteral("The log %1 was left half written (a -journal file lies beside "
                              "it); open it once with qarvel's window to finish that first.")
                   .arg(path);
    } else {
        const QString shown = QFileInfo(path).absoluteFilePath();
        const FileCheck check =
            CheckReadOnly(shown, connectionName + QStringLiteral("-check"), &text);
        badFile = check == FileCheck::Damaged;
        if (check == FileCheck::Sound) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
            ReadOnlyName(db, shown);
            opened = db.isValid() && OpenOrExplain(db, location, &text);
            if (!db.isValid())
                text = QStringLiteral("The SQLite driver is not installed");
        }
    }
    if (opened) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.tables().contains(table, Qt::CaseInsensitive))
            return true;
        text = QStringLiteral("The log %1 holds no log table %2").arg(location, table);
        db.close();
    }
    if (damaged)
        *damaged = badFile;
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    if (error)
        *error = text;
    return false;
}

QString LogLocationShown(const QString& location) {
    if (!IsPostgresAddress(location))
        return location;
    QUrl url(location);
    QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("password"))) {
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
    }
    return url.toDisplayString(QUrl::RemovePassword);
}

bool IsPostgresAddress(const QString& location) {
    return location.startsWith(QStringLiteral("postgresql://")) ||
           location.startsWith(QStringLiteral("postgres://"));
}

QString SqliteLogPath(const QString& location) {
    if (IsPostgresAddress(location))
        return {};
    // QUrl::toLocalFile() knows only file: URLs; the empty name it gives here
    // would silently open a temporary database instead of the log.
    return location.startsWith(QStringLiteral("sqlite://"))
               ? QUrl(location).path(QUrl::FullyDecoded)
               : location;
}

bool OpenLogDatabase(const QString& location, const QString& connectionName, QString* error,
                     bool* damaged) {
    QString text;
    bool badFile = false;
    if (IsPostgresAddress(location) ? OpenPostgres(location, connectionName, &text)
                                    : OpenSqlite(location, connectionName, &text, &badFile))
        return true;
    if (damaged)
        *damaged = badFile;
    // Every handle is gone by now, so the connection can be removed cleanly.
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    if (error)
        *error = text;
    return false;
}

} // namespace qarvel
