#pragma once

#include <QString>
#include <optional>

namespace qarvel {

// A DX cluster node's address, "host:port" ("[v6 address]:port"). The port
// is required: nodes listen on all sorts of them (7300, 8000, 7373, 23).
struct ClusterNode {
    QString host;
    quint16 port = 0;

    // nullopt for an empty or malformed text.
    static std::optional<ClusterNode> Parse(const QString& text);
    QString Text() const;

    friend bool operator==(const ClusterNode&, const ClusterNode&) = default;
};

} // namespace qarvel
