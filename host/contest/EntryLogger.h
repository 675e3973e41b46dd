#pragma once

#include "logbook/QsoRow.h"

#include <QObject>
#include <QTimer>
#include <vector>

namespace qarvel {

class ContestSession;
class LogBook;

// Writes a QSO from the entry line into the log and hands it to the
// contest module. While the module replays the log, a QSO is held and
// logged the moment the replay ends: counted in the middle of a replay it
// would be counted twice, or written into the replay's snapshot.
class EntryLogger : public QObject {
    Q_OBJECT
public:
    EntryLogger(LogBook& log, ContestSession& session, QObject* parent = nullptr);

    enum class Outcome { Logged, Held, Failed };
    // `error` says why a write failed. A held QSO reports through Logged or
    // Failed once it is written.
    Outcome Log(const QsoRow& row, QString* error);
    int HeldCount() const { return static_cast<int>(held_.size()); }

signals:
    // Written and counted: `result` is the module's (-1 a dupe, else points).
    void Logged(const qarvel::QsoRow& row, int result, qint64 id);
    // A held QSO could not be written.
    void Failed(const qarvel::QsoRow& row, const QString& error);

private:
    bool Write(const QsoRow& row, QString* error);
    void Release();

    LogBook& log_;
    ContestSession& session_;
    std::vector<QsoRow> held_;
    QTimer release_;
};

} // namespace qarvel
