#include "app/StationSettings.h"

#include "reference/CountryFile.h"

#include <QSettings>
#include <QStandardPaths>

namespace qarvel {

void StationSettings::ResolveFromCall(const CountryFile& countries) {
    if (const auto match = countries.Resolve(call.toStdString())) {
        dxccPrefix = QString::fromStdString(match->primaryPrefix);
        continent = QString::fromStdString(match->continent);
    }
}

QString StationSettingsPath() {
    // A path of our own rather than QSettings' default: the plug-in keeps
    // its window settings in qarvel's name, and the two must never share a
    // file.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/qarvel/qarvel-station.conf");
}

StationSettings LoadStationSettings(const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    StationSettings station;
    s.beginGroup(QStringLiteral("Station"));
    station.call = s.value(QStringLiteral("Call")).toString().trimmed().toUpper();
    station.dxccPrefix = s.value(QStringLiteral("DXCCPrefix"), station.dxccPrefix).toString();
    station.continent = s.value(QStringLiteral("Continent"), station.continent).toString();
    station.logName = s.value(QStringLiteral("LogName"), station.logName).toString();
    station.sentExchange = s.value(QStringLiteral("SentExchange")).toString();
    station.rig = s.value(QStringLiteral("Rig")).toString().trimmed();
    station.position = s.value(QStringLiteral("Position")).toString().trimmed();
    s.endGroup();
    station.clusterNode = s.value(QStringLiteral("Cluster/Node")).toString().trimmed();
    return station;
}

bool SaveStationSettings(const StationSettings& station, const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Station"));
    s.setValue(QStringLiteral("Call"), station.call);
    s.setValue(QStringLiteral("DXCCPrefix"), station.dxccPrefix);
    s.setValue(QStringLiteral("Continent"), station.continent);
    s.setValue(QStringLiteral("LogName"), station.logName);
    s.setValue(QStringLiteral("SentExchange"), station.sentExchange);
    s.setValue(QStringLiteral("Rig"), station.rig);
    s.setValue(QStringLiteral("Position"), station.position);
    s.endGroup();
    s.setValue(QStringLiteral("Cluster/Node"), station.clusterNode);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace qarvel
