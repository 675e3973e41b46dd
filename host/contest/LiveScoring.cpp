#include "contest/LiveScoring.h"

#include "contest/ContestSession.h"
#include "logbook/LogBook.h"
#include "logbook/SharedLog.h"

#include <QAction>
#include <QSqlQuery>
#include <QTimer>
#include <QVariant>

namespace qarvel {

LiveScoring::LiveScoring(SharedLog& shared, ContestSession& session, LogBook& copy,
                         QObject* parent)
    : QObject(parent), shared_(shared), session_(session), copy_(copy) {
    connect(&shared_, &SharedLog::RowArrived, this, &LiveScoring::Arrived);
    connect(&shared_, &SharedLog::RowChanged, this, &LiveScoring::RecountSoon);
    connect(&shared_, &SharedLog::RowRemoved, this, &LiveScoring::RecountSoon);
    connect(&shared_, &SharedLog::Rebuilt, this, [this](bool changed) {
        if (changed)
            RecountSoon();
    });
}

bool LiveScoring::Start() {
    // The first replay runs inside Start, before the window's action can be
    // watched: it is bracketed here.
    if (!session_.IsStarted())
        BeginReplay();
    bool started = session_.Start();
    Watch();
    // Once: the end of the replay tells of the figures.
    if (replaying_)
        EndReplay();
    else
        emit FiguresChanged();
    return started || session_.IsStarted();
}

void LiveScoring::Watch() {
    QAction* recalc = session_.RecalcAction();
    if (!recalc || recalc == watched_)
        return;
    watched_ = recalc;
    // Direct: the module disables the action just before it opens its query.
    connect(recalc, &QAction::changed, this, &LiveScoring::RecalcChanged, Qt::DirectConnection);
}

void LiveScoring::RecalcChanged() {
    if (!watched_)
        return;
    if (!watched_->isEnabled() && !replaying_)
        BeginReplay();
    else if (watched_->isEnabled() && replaying_)
        EndReplay();
}

void LiveScoring::BeginReplay() {
    replaying_ = true;
    QSqlDatabase db = copy_.Database();
    // SQLite keeps one snapshot for the whole transaction: the ids read here
    // are exactly the rows the module's query will count.
    db.transaction();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    counted_.clear();
    if (q.exec(QStringLiteral("SELECT QsoId FROM %1").arg(copy_.Table())))
        while (q.next())
            counted_.insert(q.value(0).toString());
}

void LiveScoring::EndReplay() {
    QSqlDatabase db = copy_.Database();
    if (!db.commit())
        db.rollback();
    replaying_ = false;
    const std::vector<QsoRow> held = std::exchange(held_, {});
    for (const QsoRow& row : held)
        Arrived(0, row);
    emit FiguresChanged();
}

void LiveScoring::Arrived(qint64, const QsoRow& row) {
    Watch();
    if (replaying_ || session_.Replaying()) {
        held_.push_back(row);
        return;
    }
    if (!session_.IsStarted() || counted_.contains(row.qsoId))
        return;
    counted_.insert(row.qsoId);
    session_.Add(row);
    emit FiguresChanged();
}

void LiveScoring::RecountSoon() {
    if (recountAsked_)
        return;
    recountAsked_ = true;
    // Many changes in one burst make one replay.
    QTimer::singleShot(0, this, [this] {
        recountAsked_ = false;
        Watch();
        if (session_.IsStarted())
            session_.Recalc();
    });
}

} // namespace qarvel
