#pragma once

#include <QObject>
#include <QString>

namespace QKeychain {
class Job;
}

namespace qarvel {

// The scoreboard's password, kept in the desktop's secret store (through
// QtKeychain). Where no secret store runs, it is kept in a file that only
// the user may read (0600), and Notice says so, once. A password an older
// qarvel left in plain text in the station settings is moved into the
// store and taken out of the settings. Reads and writes never wait: they
// finish on the event loop, and Loaded / Saved tell.
class ScoreboardPasswordStore : public QObject {
    Q_OBJECT
public:
    // `settingsPath`: the station settings an older qarvel kept the password
    // in; `fallbackPath`: the file used without a secret store.
    ScoreboardPasswordStore(QString settingsPath, QString fallbackPath, QObject* parent = nullptr);

    // scoreboard-password beside the station settings.
    static QString FallbackPathBeside(const QString& settingsPath);

    void Load();
    // An empty password removes it.
    void Save(const QString& password);

    bool IsLoaded() const { return loaded_; }
    const QString& Password() const { return password_; }

signals:
    void Loaded();
    // `error` says why the password could not be kept anywhere.
    void Saved(bool ok, const QString& error);
    // Once per run: where the password is kept, when not in a secret store.
    void Notice(const QString& text);

private:
    void Read(QKeychain::Job* job);
    void Written(QKeychain::Job* job, const QString& password);
    void UseFile(const QString& why);
    bool WriteFile(const QString& password, QString* error);
    void ForgetPlainText();
    void Tell(const QString& why);

    QString settingsPath_;
    QString fallbackPath_;
    QString password_;
    bool loaded_ = false;
    bool told_ = false;
};

} // namespace qarvel
