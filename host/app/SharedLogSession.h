#pragma once

#include "contest/LiveScoring.h"
#include "logbook/SharedLog.h"
#include "logbook/SharedLogCopy.h"

#include <QLockFile>
#include <QString>
#include <memory>

namespace qarvel {

class ContestSession;
class LogBook;
class MainWindow;

// A window run on a shared log: the window's log is this position's copy,
// every change to it is kept for the server, the worker sends it and
// follows the others, the module counts what arrives, the status bar tells
// online or offline, what waits and what the server refused.
class SharedLogSession {
public:
    // `log` is the copy, open under the module's connection.
    SharedLogSession(const QString& location, const QString& table, LogBook& log,
                     ContestSession& session, MainWindow& window);
    ~SharedLogSession();

    // False, with the reason, when another qarvel on this computer already
    // works on this copy.
    bool Start(QString* error);
    LiveScoring& Scoring() { return *scoring_; }
    SharedLog& Shared() { return *shared_; }

private:
    // QSOs an older qarvel left in its outbox join the copy's changes.
    void TakeOldOutbox();

    QString location_;
    QString table_;
    QString copyPath_;
    LogBook& log_;
    MainWindow& window_;
    SharedLogCopy copy_;
    QLockFile lock_;
    std::unique_ptr<SharedLog> shared_;
    std::unique_ptr<LiveScoring> scoring_;
};

} // namespace qarvel
