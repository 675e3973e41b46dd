#include "logbook/LogConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
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

bool OpenPostgres(const QString& location, const QString& connectionName, QString* text) {
    const QUrl url(location);
    // Shown to the operator, so never with the password.
    const QString shown = url.toDisplayString(QUrl::RemovePassword);
    const QUrlQuery query(url);
    int port = url.port();
    bool portOk = true;
    if (query.hasQueryItem(QStringLiteral("port")))
        port = query.queryItemValue(QStringLiteral("port"), QUrl::FullyDecoded).toInt(&portOk);
    if (!url.isValid() || url.path().size() < 2 || !portOk) {
        *text = QStringLiteral("Not a PostgreSQL address: %1").arg(shown);
        return false;
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
    if (!url.password().isEmpty())
        db.setPassword(url.password(QUrl::FullyDecoded));
    return OpenOrExplain(db, shown, text);
}

bool OpenSqlite(const QString& location, const QString& connectionName, QString* text) {
    // QUrl::toLocalFile() knows only file: URLs; the empty name it gives here
    // would silently open a temporary database instead of the log.
    const QString path = location.startsWith(QStringLiteral("sqlite://"))
                             ? QUrl(location).path(QUrl::FullyDecoded)
                             : location;
    if (path.isEmpty()) {
        *text = QStringLiteral("Not an SQLite log file: %1").arg(location);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!db.isValid()) {
        *text = QStringLiteral("The SQLite driver is not installed");
        return false;
    }
    db.setDatabaseName(path);
    return OpenOrExplain(db, location, text);
}

} // namespace

bool IsPostgresAddress(const QString& location) {
    return location.startsWith(QStringLiteral("postgresql://")) ||
           location.startsWith(QStringLiteral("postgres://"));
}

bool OpenLogDatabase(const QString& location, const QString& connectionName, QString* error) {
    QString text;
    if (IsPostgresAddress(location) ? OpenPostgres(location, connectionName, &text)
                                    : OpenSqlite(location, connectionName, &text))
        return true;
    // Every handle is gone by now, so the connection can be removed cleanly.
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    if (error)
        *error = text;
    return false;
}

} // namespace qarvel
