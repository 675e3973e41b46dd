#include "cluster/ClusterNode.h"

#include "rig/RigAddress.h"

#include <QRegularExpression>

namespace qarvel {

std::optional<ClusterNode> ClusterNode::Parse(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression kPort(QStringLiteral(":\\d{1,5}$"));
    const auto address = RigAddress::Parse(t);
    if (!address || !kPort.match(t).hasMatch() || address->port == 0)
        return std::nullopt;
    return ClusterNode{address->host, address->port};
}

QString ClusterNode::Text() const {
    return RigAddress{host, port}.Text();
}

} // namespace qarvel
