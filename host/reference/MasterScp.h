#pragma once

#include <QSet>
#include <QString>

namespace qarvel {

// The calls of a MASTER.SCP file (super check partial: the calls active in
// contests), one per line; lines starting with '#' are comments.
class MasterScp {
public:
    static constexpr const char* kDefaultPath = "/usr/share/hamradio-files/MASTER.SCP";

    // False when the file cannot be read; the list is then empty.
    bool Load(const QString& path = QLatin1String(kDefaultPath));
    bool IsLoaded() const { return !calls_.isEmpty(); }

    // True when the list holds `call`, or, for a call with a '/' (YO3ZZZ/P,
    // DL/YO3ZZZ), the longest of its parts.
    bool Lists(const QString& call) const;

private:
    QSet<QString> calls_;
};

} // namespace qarvel
