#include "contest/ScoreboardPoster.h"

#include <QAuthenticator>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace qarvel {

ScoreboardPoster::ScoreboardPoster(Source source, QObject* parent)
    : QObject(parent), source_(std::move(source)), network_(new QNetworkAccessManager(this)) {
    connect(&timer_, &QTimer::timeout, this, &ScoreboardPoster::PostNow);
    connect(network_, &QNetworkAccessManager::authenticationRequired, this,
            &ScoreboardPoster::Authenticate);
}

bool ScoreboardPoster::MaySendLogin(const QUrl& url, const ScoreboardSettings& settings) {
    return url.scheme() == QLatin1String("https") ||
           (url.scheme() == QLatin1String("http") && settings.allowPlainHttp);
}

void ScoreboardPoster::Authenticate(QNetworkReply* reply, QAuthenticator* authenticator) {
    const QUrl asking = reply->url();
    // Once per post: a login refused is not offered again and again.
    if (reply != pending_ || loginGiven_ || !MaySendLogin(asking, login_) ||
        asking.scheme() != loginUrl_.scheme() || asking.host() != loginUrl_.host() ||
        asking.port(asking.scheme() == QLatin1String("https") ? 443 : 80) !=
            loginUrl_.port(loginUrl_.scheme() == QLatin1String("https") ? 443 : 80))
        return;
    loginGiven_ = true;
    authenticator->setUser(login_.user);
    authenticator->setPassword(login_.password);
}

void ScoreboardPoster::SetInterval(std::chrono::milliseconds interval) {
    interval_ = interval;
    if (timer_.isActive())
        timer_.start(interval_);
}

void ScoreboardPoster::SetAnswerTimeout(std::chrono::milliseconds timeout) {
    timeout_ = timeout;
}

void ScoreboardPoster::Start() {
    timer_.start(interval_);
}

void ScoreboardPoster::SetStatus(const QString& status) {
    status_ = status;
    emit StatusChanged(status_);
}

void ScoreboardPoster::PostNow() {
    // One post at a time: a scoreboard still thinking about the last one
    // gets the newest report at the next round.
    if (pending_)
        return;
    const std::optional<Post> post = source_();
    if (!post || !post->settings.IsSet())
        return;
    const QByteArray figures = post->report.Figures();
    if (figures == accepted_)
        return;
    const QUrl url = QUrl::fromUserInput(post->settings.url);
    if (!MaySendLogin(url, post->settings)) {
        SetStatus(url.scheme() == QLatin1String("http")
                      ? QStringLiteral("Scoreboard: not posted: %1 is plain http, where the "
                                       "login would travel unencrypted; give an https address, "
                                       "or tick \"allow plain http\"")
                            .arg(url.toDisplayString(QUrl::RemoveUserInfo))
                      : QStringLiteral("Scoreboard: not posted: %1 is no http or https address")
                            .arg(url.toDisplayString(QUrl::RemoveUserInfo)));
        emit Finished();
        return;
    }
    // The login is given only when the scoreboard asks for it, and only to
    // this address: a redirect elsewhere gets none.
    login_ = post->settings;
    loginUrl_ = url;
    loginGiven_ = false;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    const auto timeout = timeout_.value_or(
        std::min<std::chrono::milliseconds>(interval_ / 2, std::chrono::seconds(30)));
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    pending_ = network_->post(request, post->report.Xml(QDateTime::currentDateTimeUtc()));
    QNetworkReply* reply = pending_;
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, figures] { Answered(reply, figures); });
}

void ScoreboardPoster::Answered(QNetworkReply* reply, const QByteArray& figures) {
    reply->deleteLater();
    pending_ = nullptr;
    const QString at = QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm"));
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reason =
        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (reply->error() == QNetworkReply::NoError && code >= 200 && code < 300) {
        accepted_ = figures;
        SetStatus(QStringLiteral("Scoreboard %1 UTC: %2 %3").arg(at).arg(code).arg(reason));
    } else if (code == 401) {
        SetStatus(QStringLiteral("Scoreboard %1 UTC: the login was refused (401 %2); next try "
                                 "in %3 s")
                      .arg(at, reason)
                      .arg(interval_.count() / 1000));
    } else if (code != 0) {
        SetStatus(QStringLiteral("Scoreboard %1 UTC: answered %2 %3; next try in %4 s")
                      .arg(at)
                      .arg(code)
                      .arg(reason)
                      .arg(interval_.count() / 1000));
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
        SetStatus(QStringLiteral("Scoreboard %1 UTC: no answer; next try in %2 s")
                      .arg(at)
                      .arg(interval_.count() / 1000));
    } else {
        SetStatus(QStringLiteral("Scoreboard %1 UTC: cannot be reached (%2); next try in %3 s")
                      .arg(at, reply->errorString())
                      .arg(interval_.count() / 1000));
    }
    emit Finished();
}

} // namespace qarvel
