#pragma once

#include "logbook/QsoRow.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <vector>

class QAction;

namespace qarvel {

class ContestSession;
class LogBook;
class SharedLog;

// Keeps the contest module's figures those of the whole shared log, read
// from this position's copy: a QSO another position logged is counted with
// _AddQSO, an edit or delete anywhere (or a copy made equal to the server
// after a reconnect) makes the module replay the copy.
//
// Every replay reads the copy inside one read transaction opened the moment
// the module starts it, and the ids it sees are taken as counted: a QSO that
// arrives meanwhile is held and counted right after, unless the replay saw
// it already.
class LiveScoring : public QObject {
    Q_OBJECT
public:
    // `copy` is the log the module reads (its connection).
    LiveScoring(SharedLog& shared, ContestSession& session, LogBook& copy,
                QObject* parent = nullptr);

    // Opens the statistics window; its first replay counts the copy.
    bool Start();
    bool IsCounted(const QString& qsoId) const { return counted_.contains(qsoId); }
    // Told of a QSO this position logged and the module counted.
    void Counted(const QString& qsoId) { counted_.insert(qsoId); }

signals:
    // The figures may have changed: once per QSO counted, once per replay.
    void FiguresChanged();

private:
    void Arrived(qint64 id, const QsoRow& row);
    void RecountSoon();
    void Watch();
    void RecalcChanged();
    void BeginReplay();
    void EndReplay();

    SharedLog& shared_;
    ContestSession& session_;
    LogBook& copy_;
    QSet<QString> counted_;
    std::vector<QsoRow> held_;
    QPointer<QAction> watched_;
    bool replaying_ = false;
    bool recountAsked_ = false;
};

} // namespace qarvel
