#include "contest/LiveScoring.h"

#include "contest/ContestSession.h"
#include "logbook/LiveLog.h"

namespace qarvel {

LiveScoring::LiveScoring(LiveLog& live, ContestSession& session, QObject* parent)
    : QObject(parent), live_(live), session_(session) {
    connect(&live_, &LiveLog::RowArrived, this, &LiveScoring::Arrived);
    connect(&live_, &LiveLog::RecountNeeded, this, &LiveScoring::Recount);
}

bool LiveScoring::Start() {
    bool started = false;
    live_.Recount([&] { started = session_.Start(); });
    if (!started)
        started = session_.IsStarted();
    emit FiguresChanged();
    return started;
}

void LiveScoring::Arrived(const QsoRow& row) {
    if (!session_.IsStarted())
        return;
    session_.Add(row);
    emit FiguresChanged();
}

void LiveScoring::Recount() {
    if (!session_.IsStarted())
        return;
    if (live_.Recount([&] { session_.Recalc(); }))
        emit FiguresChanged();
}

} // namespace qarvel
