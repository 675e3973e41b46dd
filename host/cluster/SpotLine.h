#pragma once

#include <QString>
#include <optional>

namespace qarvel {

// One spot as DX cluster nodes (DX Spider, AR-Cluster, CC Cluster) send it:
//   DX de SPOTTER:    14025.0  DL1ABC       CW 24 dB 25 WPM CQ        1234Z JN58
// the frequency in kHz, the spotted call, a free comment and the time in
// UTC; a grid square may follow the time and bell characters end the line.
struct SpotLine {
    QString spotter;
    double kilohertz = 0;
    QString call;
    QString comment;
    QString time; // "1234", as sent

    // nullopt for anything else: talk, announcements, a mangled spot.
    static std::optional<SpotLine> Parse(const QString& line);
};

} // namespace qarvel
