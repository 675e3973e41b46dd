#pragma once

#include <QString>
#include <optional>

namespace qarvel {

// Where rigctld listens: "host:port", "host" alone for its usual port, or
// "[v6 address]:port".
struct RigAddress {
    static constexpr quint16 kDefaultPort = 4532;

    QString host;
    quint16 port = kDefaultPort;

    // nullopt for an empty or malformed text.
    static std::optional<RigAddress> Parse(const QString& text);
    QString Text() const;

    friend bool operator==(const RigAddress&, const RigAddress&) = default;
};

} // namespace qarvel
