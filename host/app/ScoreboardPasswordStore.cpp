#include "app/ScoreboardPasswordStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <qt6keychain/keychain.h>

namespace qarvel {

namespace {

const QString kService = QStringLiteral("qarvel");
const QString kKey = QStringLiteral("scoreboard");

QString PlainTextKey() {
    return QStringLiteral("Scoreboard/Password");
}

} // namespace

ScoreboardPasswordStore::ScoreboardPasswordStore(QString settingsPath, QString fallbackPath,
                                                 QObject* parent)
    : QObject(parent), settingsPath_(std::move(settingsPath)),
      fallbackPath_(std::move(fallbackPath)) {}

QString ScoreboardPasswordStore::FallbackPathBeside(const QString& settingsPath) {
    return QFileInfo(settingsPath).dir().filePath(QStringLiteral("scoreboard-password"));
}

void ScoreboardPasswordStore::Load() {
    const QSettings settings(settingsPath_, QSettings::IniFormat);
    if (settings.contains(PlainTextKey())) {
        // Left by an older qarvel: usable at once, then moved.
        password_ = settings.value(PlainTextKey()).toString();
        loaded_ = true;
        emit Loaded();
        Save(password_);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(kService, this);
    job->setKey(kKey);
    connect(job, &QKeychain::Job::finished, this, &ScoreboardPasswordStore::Read);
    job->start();
}

void ScoreboardPasswordStore::Read(QKeychain::Job* job) {
    const auto* read = static_cast<QKeychain::ReadPasswordJob*>(job);
    if (job->error() == QKeychain::NoError) {
        password_ = read->textData();
        loaded_ = true;
        emit Loaded();
        return;
    }
    if (job->error() == QKeychain::EntryNotFound) {
        // Kept in the file while no secret store ran: moved into this one.
        QFile file(fallbackPath_);
        if (file.open(QIODevice::ReadOnly)) {
            password_ = QString::fromUtf8(file.readAll());
            loaded_ = true;
            emit Loaded();
            Save(password_);
            return;
        }
        password_.clear();
        loaded_ = true;
        emit Loaded();
        return;
    }
    UseFile(job->errorString());
}

void ScoreboardPasswordStore::UseFile(const QString& why) {
    QFile file(fallbackPath_);
    password_ = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    loaded_ = true;
    if (!password_.isEmpty())
        Tell(why);
    emit Loaded();
}

void ScoreboardPasswordStore::Save(const QString& password) {
    password_ = password;
    loaded_ = true;
    if (password.isEmpty()) {
        auto* job = new QKeychain::DeletePasswordJob(kService, this);
        job->setKey(kKey);
        connect(job, &QKeychain::Job::finished, this, [this] {
            QFile::remove(fallbackPath_);
            ForgetPlainText();
            emit Saved(true, {});
        });
        job->start();
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(kService, this);
    job->setKey(kKey);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this,
            [this, password](QKeychain::Job* done) { Written(done, password); });
    job->start();
}

void ScoreboardPasswordStore::Written(QKeychain::Job* job, const QString& password) {
    if (job->error() == QKeychain::NoError) {
        QFile::remove(fallbackPath_);
        ForgetPlainText();
        emit Saved(true, {});
        return;
    }
    QString error;
    if (!WriteFile(password, &error)) {
        // Kept where it was: the settings still hold an older qarvel's.
        emit Saved(false, QStringLiteral("The scoreboard password could not be kept: %1").arg(error));
        return;
    }
    ForgetPlainText();
    Tell(job->errorString());
    emit Saved(true, {});
}

bool ScoreboardPasswordStore::WriteFile(const QString& password, QString* error) {
    QDir().mkpath(QFileInfo(fallbackPath_).absolutePath());
    QSaveFile file(fallbackPath_);
    // Readable by the user alone before the password is in it.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(password.toUtf8()) < 0 || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(fallbackPath_, file.errorString());
        return false;
    }
    return true;
}

void ScoreboardPasswordStore::ForgetPlainText() {
    QSettings settings(settingsPath_, QSettings::IniFormat);
    if (!settings.contains(PlainTextKey()))
        return;
    settings.remove(PlainTextKey());
    settings.sync();
}

void ScoreboardPasswordStore::Tell(const QString& why) {
    if (std::exchange(told_, true))
        return;
    // QtKeychain says "Unknown error" where no store answers at all.
    const QString reason = why.trimmed();
    const bool told = !reason.isEmpty() && reason != QLatin1String("Unknown error");
    QString shown = fallbackPath_;
    if (shown.startsWith(QDir::homePath() + QLatin1Char('/')))
        shown = QLatin1Char('~') + shown.mid(QDir::homePath().size());
    emit Notice(QStringLiteral("No secret store runs%1: the scoreboard password is in %2, "
                               "readable only by you")
                    .arg(told ? QStringLiteral(" (%1)").arg(reason) : QString(), shown));
}

} // namespace qarvel
