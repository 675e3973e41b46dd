#include "rig/RigAddress.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace qarvel {

std::optional<RigAddress> RigAddress::Parse(const QString& text) {
    // An IPv6 address needs its brackets to tell it from the port.
    static const QRegularExpression form(
        QStringLiteral(R"(^(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+))(?::([0-9]{1,5}))?$)"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    RigAddress a;
    if (m.hasCaptured(1)) {
        a.host = m.captured(1);
        if (QHostAddress(a.host).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else {
        a.host = m.captured(2);
    }
    if (m.hasCaptured(3)) {
        const uint port = m.captured(3).toUInt();
        if (port == 0 || port > 65535)
            return std::nullopt;
        a.port = static_cast<quint16>(port);
    }
    return a;
}

QString RigAddress::Text() const {
    const QString h = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(h).arg(port);
}

} // namespace qarvel
