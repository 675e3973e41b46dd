#include "app/ScoreboardSettings.h"

#include <QSettings>

namespace qarvel {

ScoreboardSettings LoadScoreboardSettings(const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Scoreboard"));
    // The password is not read from here: an older qarvel's, still here,
    // is moved into the secret store by ScoreboardPasswordStore.
    return {s.value(QStringLiteral("Url")).toString().trimmed(),
            s.value(QStringLiteral("User")).toString().trimmed(), QString(),
            s.value(QStringLiteral("AllowPlainHttp"), false).toBool()};
}

bool SaveScoreboardSettings(const ScoreboardSettings& settings, const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Scoreboard"));
    s.setValue(QStringLiteral("Url"), settings.url.trimmed());
    s.setValue(QStringLiteral("User"), settings.user.trimmed());
    s.setValue(QStringLiteral("AllowPlainHttp"), settings.allowPlainHttp);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace qarvel
