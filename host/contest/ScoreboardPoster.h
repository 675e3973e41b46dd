#pragma once

#include "app/ScoreboardSettings.h"
#include "contest/ScoreReport.h"

#include <QObject>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;

namespace qarvel {

// Posts the live score to an online scoreboard: at each interval (2
// minutes) it asks for the newest report and posts it when its figures
// differ from the last one the scoreboard took. Nothing is queued: while
// the scoreboard cannot be reached the next try simply posts the newest
// report. Everything runs on the event loop; no call here waits. The login
// answers the scoreboard's challenge (HTTP authentication), over https, or
// over plain http only where the operator allowed it.
class ScoreboardPoster : public QObject {
    Q_OBJECT
public:
    struct Post {
        ScoreboardSettings settings;
        ScoreReport report;
    };
    // Nothing when there is nothing to post (no scoreboard set, no score).
    using Source = std::function<std::optional<Post>()>;

    explicit ScoreboardPoster(Source source, QObject* parent = nullptr);

    void SetInterval(std::chrono::milliseconds interval);
    // How long an answer is waited for; by default half the interval, at
    // most 30 s.
    void SetAnswerTimeout(std::chrono::milliseconds timeout);
    void Start();

    // One round at once, as the timer does it.
    void PostNow();
    const QString& Status() const { return status_; }

signals:
    // The last answer, or why there was none, for the status bar.
    void StatusChanged(const QString& status);
    // A round finished: the scoreboard answered, refused or timed out.
    void Finished();

private:
    // https always; plain http only with the operator's consent.
    static bool MaySendLogin(const QUrl& url, const ScoreboardSettings& settings);
    void Authenticate(QNetworkReply* reply, QAuthenticator* authenticator);
    void Answered(QNetworkReply* reply, const QByteArray& figures);
    void SetStatus(const QString& status);

    Source source_;
    QNetworkAccessManager* network_;
    QTimer timer_;
    std::chrono::milliseconds interval_{std::chrono::minutes(2)};
    std::optional<std::chrono::milliseconds> timeout_;
    QNetworkReply* pending_ = nullptr;
    QByteArray accepted_; // the figures the scoreboard last took
    ScoreboardSettings login_; // of the post under way
    QUrl loginUrl_;
    bool loginGiven_ = false;
    QString status_;
};

} // namespace qarvel
