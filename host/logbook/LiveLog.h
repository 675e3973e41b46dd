#pragma once

#include "logbook/QsoRow.h"

#include <QObject>
#include <QSet>
#include <QSqlDriver>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace qarvel {

class LogBook;

// A shared PostgreSQL log as one position follows it: a connection of its
// own listens to the changes every position announces through the log
// table's trigger. A row inserted elsewhere is read by its id and handed on
// once (RowArrived); an edit or delete anywhere asks for a recount. It keeps
// the ids this position has counted, so its own rows and those a recount
// has read are never handed on again.
//
// When the server is lost (the listening connection stops answering, or a
// write goes into the outbox) it tries to reconnect with a growing delay;
// back online it sends the outbox, each QSO once by its id, and asks for a
// recount that brings in what the others logged meanwhile.
class LiveLog : public QObject {
    Q_OBJECT
public:
    explicit LiveLog(LogBook& log, QObject* parent = nullptr);
    ~LiveLog() override;

    // Listens, and sends what the outbox still holds from an earlier run.
    // False, with the reason, when the log is no PostgreSQL log or cannot be
    // listened to.
    bool Start(QString* error);

    // Runs `replay` (the module's replay of the log through the log's own
    // connection) in one snapshot of the log, and takes the ids it sees as
    // counted. Changes announced meanwhile are handled after it. False when
    // the server could not be reached: the position is then offline.
    bool Recount(const std::function<void()>& replay);

    bool Online() const { return online_; }
    // While the module replays: a QSO logged now must wait, or the replay
    // would count it in the middle of its own count.
    bool Recounting() const { return recounting_; }
    // QSOs in the outbox.
    int Waiting() const;
    bool IsCounted(const QString& qsoId) const { return counted_.contains(qsoId); }

signals:
    // A QSO another position logged, not counted here yet.
    void RowArrived(const qarvel::QsoRow& row);
    void RecountNeeded();
    // Each change of the log table as its trigger announced it, this
    // position's own included, for the view to follow row by row.
    void Announced(const QString& announcement);
    void StateChanged(bool online, int waiting);

private:
    void Notified(const QString& name, QSqlDriver::NotificationSource source,
                  const QVariant& payload);
    void Handle(const QString& payload);
    void Written(const std::vector<QsoRow>& rows, bool queued);
    bool Listen(QString* error);
    void StopListening();
    void Beat();
    void GoOffline();
    void TryReconnect();
    bool SendOutbox();

    LogBook& log_;
    QString listenName_;
    QSet<QString> counted_;
    QStringList pending_; // announced while a recount runs
    bool recounting_ = false;
    bool online_ = false;
    int delayMs_ = 0;
    QTimer heartbeat_;
    QTimer retry_;
};

} // namespace qarvel
