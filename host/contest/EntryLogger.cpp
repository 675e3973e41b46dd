#include "contest/EntryLogger.h"

#include "contest/ContestSession.h"
#include "logbook/LogBook.h"

#include <QUuid>

namespace qarvel {

namespace {

// Checked this often while a replay runs: a local replay takes a fraction
// of a second, and the check costs nothing.
constexpr int kReleaseCheckMs = 5;

} // namespace

EntryLogger::EntryLogger(LogBook& log, ContestSession& session, QObject* parent)
    : QObject(parent), log_(log), session_(session) {
    release_.setInterval(kReleaseCheckMs);
    connect(&release_, &QTimer::timeout, this, &EntryLogger::Release);
}

EntryLogger::Outcome EntryLogger::Log(const QsoRow& given, QString* error) {
    QsoRow row = given;
    // The id is the QSO's from now on, held or not.
    if (row.qsoId.isEmpty())
        row.qsoId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (session_.Replaying() || !held_.empty()) {
        held_.push_back(row);
        release_.start();
        return Outcome::Held;
    }
    return Write(row, error) ? Outcome::Logged : Outcome::Failed;
}

bool EntryLogger::Write(const QsoRow& row, QString* error) {
    qint64 id = 0;
    if (!log_.Append(row, error, &id))
        return false;
    // The row is committed: a replay from here on sees what is counted now.
    const int result = session_.Add(row);
    emit Logged(row, result, id);
    return true;
}

void EntryLogger::Release() {
    if (session_.Replaying())
        return;
    release_.stop();
    const std::vector<QsoRow> held = std::exchange(held_, {});
    for (const QsoRow& row : held) {
        QString error;
        if (!Write(row, &error))
            emit Failed(row, error);
    }
}

} // namespace qarvel
