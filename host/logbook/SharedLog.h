#pragma once

#include "logbook/QsoRow.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <vector>

namespace qarvel {

class SharedLogWorker;

// The window thread's side of a shared log: this position works on its
// copy (an SQLite file in qarvel's data folder), and a worker thread keeps
// the copy and the server in step. Nothing here ever waits on the server;
// what the worker finds out arrives as signals.
class SharedLog : public QObject {
    Q_OBJECT
public:
    // `location` is the postgresql:// address, `copyPath` the copy's file.
    SharedLog(const QString& location, const QString& table, const QString& copyPath,
              QObject* parent = nullptr);
    ~SharedLog() override;

    void Start();
    // The copy holds something new for the server.
    void Kick();
    // The log's station or submission details were changed here.
    void PublishSide();
    // Sends `rows` to the server in one transaction; ImportFinished tells
    // the outcome. The copy gets them only once the server has them.
    void Import(const std::vector<QsoRow>& rows);
    void CancelImport();

    bool Online() const { return online_; }
    // Online, and every change made here so far is on the server (or was
    // refused by it).
    bool Settled() const { return online_ && waiting_ == 0 && covered_ == changes_; }
    // Changes the server has not confirmed yet (refused ones not counted).
    int Waiting() const { return waiting_; }
    // The changes the server refused, each with its reason: kept in the
    // copy and shown, never dropped.
    const QStringList& Refused() const { return refused_; }

signals:
    void StateChanged(bool online, int waiting);
    void RefusedChanged(const QStringList& refused);
    // Another position's QSO arrived in the copy as row `id`.
    void RowArrived(qint64 id, const qarvel::QsoRow& row);
    // Another position changed or deleted the copy's row `id`.
    void RowChanged(qint64 id, const qarvel::QsoRow& row);
    void RowRemoved(qint64 id, const QString& qsoId);
    // The copy was made equal to the server's table at a (re)connect;
    // `changed` when it was not already.
    void Rebuilt(bool changed);
    void ImportProgress(int done, int total);
    void ImportFinished(bool ok, int imported, const QString& error);
    void Connected(int workPid, int listenPid);
    void Warning(const QString& text);
    // Another position's station or submission details are now the copy's.
    void SideChanged();

private:
    void Take(bool online, int waiting, const QStringList& refused, quint64 covered);

    QThread thread_;
    SharedLogWorker* worker_ = nullptr;
    bool online_ = false;
    int waiting_ = 0;
    QStringList refused_;
    quint64 changes_ = 0;
    quint64 covered_ = 0;
};

} // namespace qarvel
