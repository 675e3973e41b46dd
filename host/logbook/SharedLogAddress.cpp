#include "logbook/SharedLogAddress.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace qarvel {

namespace {

// The names one computer has for itself: libpq's default (the local socket)
// and the loopback addresses reach the same server.
bool IsThisComputer(const QString& host) {
    return host.isEmpty() || host.startsWith(QLatin1Char('/')) ||
           host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1") ||
           host == QLatin1String("::1") || host == QLatin1String("[::1]") ||
           host == QLatin1String("localhost.localdomain");
}

} // namespace

SharedLogAddress::SharedLogAddress(const QString& location, const QString& table)
    : table_(table.toLower()) {
    const QUrl url(location);
    const QUrlQuery query(url);
    QString host = url.host(QUrl::FullyDecoded).toLower();
    if (query.hasQueryItem(QStringLiteral("host")))
        host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    host_ = IsThisComputer(host) ? QStringLiteral("localhost") : host;
    if (url.port() > 0)
        port_ = url.port();
    if (query.hasQueryItem(QStringLiteral("port")))
        port_ = query.queryItemValue(QStringLiteral("port")).toInt();
    database_ = url.path(QUrl::FullyDecoded).mid(1);
    if (query.hasQueryItem(QStringLiteral("dbname")))
        database_ = query.queryItemValue(QStringLiteral("dbname"), QUrl::FullyDecoded);
}

QString SharedLogAddress::Key() const {
    return QStringLiteral("%1:%2/%3/%4").arg(host_).arg(port_).arg(database_, table_);
}

QString SharedLogAddress::CopyPath() const {
    const QByteArray tag =
        QCryptographicHash::hash(Key().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/shared/") + QString::fromLatin1(tag) + QStringLiteral(".sqlite");
}

} // namespace qarvel
