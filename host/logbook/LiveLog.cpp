#include "logbook/LiveLog.h"

#include "logbook/LogBook.h"
#include "logbook/LogSchema.h"
#include "logbook/Outbox.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace qarvel {

namespace {

// Often enough to see a lost connection within a second; a SELECT 1 costs
// the server next to nothing.
constexpr int kHeartbeatMs = 500;
constexpr int kFirstRetryMs = 250;
constexpr int kLongestRetryMs = 4000;

} // namespace

LiveLog::LiveLog(LogBook& log, QObject* parent) : QObject(parent), log_(log) {
    static std::atomic<int> next{0};
    listenName_ = log.ConnectionName() + QStringLiteral("-live-%1").arg(++next);
    heartbeat_.setInterval(kHeartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, &LiveLog::Beat);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &LiveLog::TryReconnect);
    log_.SetWritten([this](const std::vector<QsoRow>& rows, bool queued) { Written(rows, queued); });
}

LiveLog::~LiveLog() {
    log_.SetWritten({});
    StopListening();
    QSqlDatabase::removeDatabase(listenName_);
}

int LiveLog::Waiting() const {
    return log_.GetOutbox() ? log_.GetOutbox()->Count() : 0;
}

bool LiveLog::Listen(QString* error) {
    StopListening();
    QSqlDatabase db = QSqlDatabase::contains(listenName_)
                          ? QSqlDatabase::database(listenName_, false)
                          : QSqlDatabase::cloneDatabase(log_.ConnectionName(), listenName_);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text().trimmed();
        return false;
    }
    QSqlDriver* driver = db.driver();
    if (!driver->hasFeature(QSqlDriver::EventNotifications) ||
        !driver->subscribeToNotification(LiveChannel(log_.Table()))) {
        if (error)
            *error = QStringLiteral("The log cannot be listened to: %1")
                         .arg(driver->lastError().text().trimmed());
        db.close();
        return false;
    }
    connect(driver, &QSqlDriver::notification, this, &LiveLog::Notified, Qt::UniqueConnection);
    return true;
}

void LiveLog::StopListening() {
    if (!QSqlDatabase::contains(listenName_))
        return;
    QSqlDatabase db = QSqlDatabase::database(listenName_, false);
    if (db.isOpen()) {
        disconnect(db.driver(), nullptr, this, nullptr);
        db.close();
    }
}

bool LiveLog::Start(QString* error) {
    if (log_.Database().driverName() != QLatin1String("QPSQL")) {
        if (error)
            *error = QStringLiteral("Only a PostgreSQL log announces its changes");
        return false;
    }
    if (!Listen(error))
        return false;
    online_ = true;
    heartbeat_.start();
    if (!SendOutbox())
        GoOffline();
    emit StateChanged(online_, Waiting());
    return true;
}

bool LiveLog::SendOutbox() {
    Outbox* outbox = log_.GetOutbox();
    if (!outbox)
        return true;
    const std::vector<QsoRow> rows = outbox->Rows();
    if (rows.empty())
        return true;
    QString error;
    // Rows the log already holds (sent before a crash took the position
    // down between the commit and the outbox's removal) are left out by
    // their ids.
    if (!log_.Deliver(rows, &error))
        return false;
    return outbox->Remove(rows, &error);
}

void LiveLog::Written(const std::vector<QsoRow>& rows, bool queued) {
    for (const QsoRow& r : rows)
        counted_.insert(r.qsoId);
    if (queued && online_)
        GoOffline();
    else if (queued)
        emit StateChanged(online_, Waiting());
}

void LiveLog::Beat() {
    QSqlQuery q(QSqlDatabase::database(listenName_, false));
    if (!q.exec(QStringLiteral("SELECT 1")))
        GoOffline();
}

void LiveLog::GoOffline() {
    const bool was = online_;
    online_ = false;
    heartbeat_.stop();
    StopListening();
    if (was || !retry_.isActive()) {
        delayMs_ = kFirstRetryMs;
        retry_.start(delayMs_);
    }
    emit StateChanged(online_, Waiting());
}

void LiveLog::TryReconnect() {
    const bool back = (log_.Reachable() || log_.Reconnect()) && Listen(nullptr) && SendOutbox();
    if (!back) {
        StopListening();
        delayMs_ = std::min(delayMs_ * 2, kLongestRetryMs);
        retry_.start(delayMs_);
        return;
    }
    online_ = true;
    heartbeat_.start();
    emit StateChanged(online_, Waiting());
    // What was announced while away is lost: a recount reads it.
    emit RecountNeeded();
}

bool LiveLog::Recount(const std::function<void()>& replay) {
    if (!log_.Reachable() && !log_.Reconnect()) {
        GoOffline();
        return false;
    }
    QSqlDatabase db = log_.Database();
    recounting_ = true;
    // The ids and the module's replay read the same snapshot: a row either
    // is in both or is announced after it.
    const bool snapshot = db.transaction();
    QSqlQuery q(db);
    if (snapshot)
        q.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    QString error;
    const auto ids = log_.ReadIds(&error);
    if (ids) {
        counted_.clear();
        for (const QString& id : *ids)
            counted_.insert(id);
        replay();
    }
    if (snapshot && !db.commit())
        db.rollback();
    recounting_ = false;
    if (!ids) {
        GoOffline();
        return false;
    }
    const QStringList pending = std::exchange(pending_, {});
    bool recount = false;
    for (const QString& payload : pending) {
        if (payload.startsWith(QLatin1String("INSERT ")))
            Handle(payload);
        else
            recount = true;
    }
    if (recount)
        emit RecountNeeded();
    return true;
}

void LiveLog::Notified(const QString& name, QSqlDriver::NotificationSource,
                       const QVariant& payload) {
    if (name != LiveChannel(log_.Table()))
        return;
    if (recounting_)
        pending_ << payload.toString();
    else
        Handle(payload.toString());
}

void LiveLog::Handle(const QString& payload) {
    emit Announced(payload);
    const QStringList parts = payload.split(QLatin1Char(' '));
    if (parts.value(0) != QLatin1String("INSERT")) {
        emit RecountNeeded();
        return;
    }
    const QString id = parts.value(1);
    if (id.isEmpty()) {
        // Written without an id, by an older qarvel or by hand: only a
        // recount can tell whether it is counted.
        emit RecountNeeded();
        return;
    }
    if (counted_.contains(id))
        return;
    const std::optional<QsoRow> row = log_.ReadById(id);
    if (!row) {
        // Unreadable now: the recount after reconnecting counts it.
        if (!log_.Reachable())
            GoOffline();
        return;
    }
    counted_.insert(id);
    emit RowArrived(*row);
}

} // namespace qarvel
