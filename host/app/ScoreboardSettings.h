#pragma once

#include <QString>

namespace qarvel {

// Where the live score is posted and with which login; kept with the
// station settings (group Scoreboard). Nothing is posted until an address
// and a user are given.
struct ScoreboardSettings {
    QString url;
    QString user;
    QString password;

    bool IsSet() const { return !url.trimmed().isEmpty() && !user.trimmed().isEmpty(); }
};

ScoreboardSettings LoadScoreboardSettings(const QString& path);
bool SaveScoreboardSettings(const ScoreboardSettings& settings, const QString& path);

} // namespace qarvel
