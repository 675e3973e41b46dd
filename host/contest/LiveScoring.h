#pragma once

#include <QObject>

namespace qarvel {

class ContestSession;
class LiveLog;
struct QsoRow;

// Keeps the contest module's figures those of the whole shared log: a QSO
// another position logged is counted with _AddQSO, an edit or delete
// anywhere (or a return from offline) makes the module replay the log.
class LiveScoring : public QObject {
    Q_OBJECT
public:
    LiveScoring(LiveLog& live, ContestSession& session, QObject* parent = nullptr);

    // Opens the statistics window; its first replay is a recount, so the
    // QSOs it reads are never handed over again.
    bool Start();

signals:
    // The figures may have changed: once per QSO counted, once per recount.
    void FiguresChanged();

private:
    void Arrived(const QsoRow& row);
    void Recount();

    LiveLog& live_;
    ContestSession& session_;
};

} // namespace qarvel
