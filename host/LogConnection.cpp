#include "LogConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

namespace qarvel {

bool IsPostgresSpec(const QString& spec) {
    return spec.startsWith(QStringLiteral("postgresql://")) ||
           spec.startsWith(QStringLiteral("postgres://"));
}

bool OpenLogDatabase(const QString& spec, const QString& connectionName, QString* error) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        QSqlDatabase::removeDatabase(connectionName);
        return false;
    };

    if (IsPostgresSpec(spec)) {
        const QUrl url(spec);
        if (!url.isValid() || url.path().size() < 2)
            return fail(QStringLiteral("Not a PostgreSQL address: %1").arg(spec));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
            if (!db.isValid())
                return fail(QStringLiteral("The PostgreSQL driver is not installed"));
            db.setDatabaseName(url.path().mid(1));
            if (!url.host().isEmpty())
                db.setHostName(url.host());
            if (url.port() > 0)
                db.setPort(url.port());
            if (!url.userName().isEmpty())
                db.setUserName(url.userName());
            if (!url.password().isEmpty())
                db.setPassword(url.password());
            // host=/some/dir in the query selects a Unix socket folder.
            const QUrlQuery query(url);
            if (query.hasQueryItem(QStringLiteral("host")))
                db.setHostName(query.queryItemValue(QStringLiteral("host")));
            if (db.open())
                return true;
            const QString text = db.lastError().text();
            db = QSqlDatabase();
            return fail(QStringLiteral("Cannot open the log %1: %2").arg(spec, text));
        }
    }

    QString path = spec;
    if (path.startsWith(QStringLiteral("sqlite://")))
        path = QUrl(spec).toLocalFile();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        if (!db.isValid())
            return fail(QStringLiteral("The SQLite driver is not installed"));
        db.setDatabaseName(path);
        if (db.open())
            return true;
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        return fail(QStringLiteral("Cannot open the log %1: %2").arg(spec, text));
    }
}

} // namespace qarvel
