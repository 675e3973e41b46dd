#pragma once

#include "logbook/QsoRow.h"
#include "logbook/SharedLogCopy.h"
#include "logbook/StatementWatchdog.h"

#include <QObject>
#include <QSqlDriver>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

namespace qarvel {

// Everything a position does with the server of a shared log, in a thread
// of its own, on connections of its own (Qt SQL connections belong to the
// thread that made them), each statement with a bounded wait: it sends what
// the copy holds unconfirmed, row by row (a change the server refuses is
// set aside with its reason, the others go on); it listens to the server's
// announcements and applies them to the copy; at every (re)connect it makes
// the copy equal to the server's table; it checks the link every second and
// reconnects by itself; and it runs an import as one server transaction.
class SharedLogWorker : public QObject {
    Q_OBJECT
public:
    SharedLogWorker(QString location, QString table, QString copyPath, QObject* parent = nullptr);
    ~SharedLogWorker() override;

    // Asked from another thread while an import runs.
    void CancelImport() { cancelImport_ = true; }

public slots:
    void Start();
    // Something new waits in the copy: the window's change number `change`.
    void Deliver(quint64 change);
    void Import(const std::vector<qarvel::QsoRow>& rows);
    // The log's station or submission details were changed at this
    // position (in the copy): they go to the server, now or at the next
    // connect.
    void PublishSide();
    // Closes every connection, in this thread.
    void Stop();

signals:
    // `covered`: the last change number the worker has handled.
    void StateChanged(bool online, int waiting, const QStringList& refused, quint64 covered);
    // Another position's QSO, now in the copy as row `id`.
    void RowArrived(qint64 id, const qarvel::QsoRow& row);
    void RowChanged(qint64 id, const qarvel::QsoRow& row);
    void RowRemoved(qint64 id, const QString& qsoId);
    // The copy was made equal to the server's table; `changed` when it
    // differed.
    void Rebuilt(bool changed);
    void ImportProgress(int done, int total);
    void ImportFinished(bool ok, int imported, const QString& error);
    // The server's backend process ids of the work and listening connections.
    void Connected(int workPid, int listenPid);
    void Warning(const QString& text);
    // The server's station or submission details were taken into the copy,
    // where they differed.
    void SideChanged();

private:
    void TryConnect();
    void GoOffline();
    void CloseServer();
    void Beat();
    bool Alive();
    bool SendChanges();
    bool Rebuild();
    // The log's station and submission details, kept beside the log table:
    // the server's are the log's; a position's own edit, or a server that
    // has none yet, sends the copy's.
    bool SyncSide();
    void Notified(const QString& name, QSqlDriver::NotificationSource source,
                  const QVariant& payload);
    void Follow(const QString& kind, const QString& qsoId);
    void Report();
    QSqlDatabase Server() const;

    QString location_;
    QString table_;
    QString copyPath_;
    QString serverName_;
    QString listenName_;
    QString copyName_;
    std::unique_ptr<SharedLogCopy> copy_;
    StatementWatchdog watchdog_;
    QTimer* heartbeat_ = nullptr;
    QTimer* retry_ = nullptr;
    int delayMs_ = 0;
    bool online_ = false;
    bool sidePending_ = false;
    bool stopped_ = false;
    quint64 covered_ = 0;
    QString lastWarning_;
    std::atomic<bool> cancelImport_{false};
};

} // namespace qarvel
