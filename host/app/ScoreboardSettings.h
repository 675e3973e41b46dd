#pragma once

#include <QString>

namespace qarvel {

// Where the live score is posted and with which login; the address, the
// user and whether plain http is allowed are kept with the station settings
// (group Scoreboard), the password apart (ScoreboardPasswordStore). Nothing
// is posted until an address and a user are given.
struct ScoreboardSettings {
    QString url;
    QString user;
    QString password;
    // The operator's consent to send the login unencrypted to an http:
    // address; without it such an address is posted nothing.
    bool allowPlainHttp = false;

    bool IsSet() const { return !url.trimmed().isEmpty() && !user.trimmed().isEmpty(); }
};

ScoreboardSettings LoadScoreboardSettings(const QString& path);
bool SaveScoreboardSettings(const ScoreboardSettings& settings, const QString& path);

} // namespace qarvel
