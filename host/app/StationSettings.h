#pragma once

#include <QString>

namespace qarvel {

class CountryFile;

// The operator's own station as qarvel keeps it. Stored in a file of its
// own (qarvel/qarvel-station.conf in the user's config folder), apart from
// the plug-in's window settings.
struct StationSettings {
    QString call; // own call sign; empty until the operator gives it
    QString dxccPrefix = QStringLiteral("YO");
    QString continent = QStringLiteral("EU");
    QString logName = QStringLiteral("LOG1"); // shown in the plug-in's caption
    QString sentExchange;                     // sent after the report, e.g. the own county
    QString rig; // rigctld's address, "host:port"; empty: band and mode by hand
    // This computer's short name among the positions of a shared log
    // ("RUN1"); every QSO logged here carries it.
    QString position;
    // The DX cluster node, "host:port"; empty: no cluster (group Cluster).
    QString clusterNode;

    bool IsSet() const { return !call.isEmpty(); }
    // Prefix and continent of `call`, as the country file resolves it; the
    // others unchanged. A call the file does not know keeps what was there.
    void ResolveFromCall(const CountryFile& countries);
};

// Where the station settings live.
QString StationSettingsPath();

StationSettings LoadStationSettings(const QString& path = StationSettingsPath());
bool SaveStationSettings(const StationSettings& station,
                         const QString& path = StationSettingsPath());

} // namespace qarvel
