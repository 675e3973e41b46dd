#include "app/ScoreboardSettings.h"

#include <QSettings>

namespace qarvel {

ScoreboardSettings LoadScoreboardSettings(const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Scoreboard"));
    return {s.value(QStringLiteral("Url")).toString().trimmed(),
            s.value(QStringLiteral("User")).toString().trimmed(),
            s.value(QStringLiteral("Password")).toString()};
}

bool SaveScoreboardSettings(const ScoreboardSettings& settings, const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Scoreboard"));
    s.setValue(QStringLiteral("Url"), settings.url.trimmed());
    s.setValue(QStringLiteral("User"), settings.user.trimmed());
    s.setValue(QStringLiteral("Password"), settings.password);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace qarvel
