#include "logbook/SharedLogWorker.h"

#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "logbook/StationStore.h"
#include "logbook/SubmissionStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <libpq-fe.h>
#include <optional>
#include <set>

namespace qarvel {

namespace {

using std::chrono::milliseconds;

// A heartbeat a second, each allowed 2.5 s: a frozen or vanished server is
// noticed within 4 s.
constexpr int kHeartbeatMs = 1000;
constexpr milliseconds kBeatLimit{2500};
constexpr milliseconds kStatementLimit{2500};
constexpr milliseconds kReadAllLimit{60000};
constexpr int kFirstRetryMs = 250;
constexpr int kLongestRetryMs = 4000;

QsoRow RowFrom(const QSqlQuery& q, int first) {
    QsoRow r;
    for (int i = 0; i < static_cast<int>(LogColumns().size()); ++i) {
        const QVariant v = q.value(first + i);
        *LogColumnField(r, LogColumns()[i]) = v.isNull() ? QString() : v.toString();
    }
    return r;
}

QString Marks(qsizetype n) {
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QString InsertStatement(const QString& table, bool sqlite) {
    return QStringLiteral("INSERT %1INTO %2 (%3) VALUES (%4)%5")
        .arg(sqlite ? QStringLiteral("OR IGNORE ") : QString(), table,
             LogColumns().join(QStringLiteral(", ")), Marks(LogColumns().size()),
             sqlite ? QString() : QStringLiteral(" ON CONFLICT (QsoId) DO NOTHING"));
}

// Every column but the id, for an UPDATE keyed by QsoId.
QString UpdateStatement(const QString& table, const QString& key) {
    QStringList assignments;
    for (const QString& c : LogColumns())
        if (c != QLatin1String("QsoId"))
            assignments << c + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
        .arg(table, assignments.join(QStringLiteral(", ")), key);
}

void BindUpdate(QSqlQuery& q, const QsoRow& row, const QVariant& key) {
    const QStringList columns = LogColumns();
    const QStringList values = LogColumnValues(row);
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i] != QLatin1String("QsoId"))
            q.addBindValue(values[i]);
    q.addBindValue(key);
}

void BindAll(QSqlQuery& q, const QsoRow& row) {
    for (const QString& v : LogColumnValues(row))
        q.addBindValue(v);
}

int BackendPid(const QSqlDatabase& db) {
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT pg_backend_pid()")) && q.next() ? q.value(0).toInt() : 0;
}

struct CopyRow {
    qint64 id = 0;
    QsoRow row;
};

std::optional<CopyRow> FindInCopy(const QSqlDatabase& db, const QString& table,
                                  const QString& qsoId) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT ID, %1 FROM %2 WHERE QsoId = ?")
                  .arg(LogColumns().join(QStringLiteral(", ")), table));
    q.addBindValue(qsoId);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return CopyRow{q.value(0).toLongLong(), RowFrom(q, 1)};
}

} // namespace

SharedLogWorker::SharedLogWorker(QString location, QString table, QString copyPath,
                                 QObject* parent)
    : QObject(parent), location_(std::move(location)), table_(std::move(table)),
      copyPath_(std::move(copyPath)) {
    static std::atomic<int> next{0};
    const int n = ++next;
    serverName_ = QStringLiteral("qarvel-shared-server-%1").arg(n);
    listenName_ = QStringLiteral("qarvel-shared-listen-%1").arg(n);
    copyName_ = QStringLiteral("qarvel-shared-copy-%1").arg(n);
}

SharedLogWorker::~SharedLogWorker() = default;

QSqlDatabase SharedLogWorker::Server() const {
    return QSqlDatabase::database(serverName_, false);
}

void SharedLogWorker::Start() {
    heartbeat_ = new QTimer(this);
    heartbeat_->setInterval(kHeartbeatMs);
    connect(heartbeat_, &QTimer::timeout, this, &SharedLogWorker::Beat);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &SharedLogWorker::TryConnect);
    QString error;
    if (!SharedLogCopy::Open(copyPath_, copyName_, table_, &error)) {
        emit Warning(error);
        return;
    }
    copy_ = std::make_unique<SharedLogCopy>(copyName_, table_);
    Report();
    TryConnect();
}

void SharedLogWorker::Stop() {
    stopped_ = true;
    if (heartbeat_)
        heartbeat_->stop();
    if (retry_)
        retry_->stop();
    CloseServer();
    QSqlDatabase::removeDatabase(serverName_);
    QSqlDatabase::removeDatabase(listenName_);
    copy_.reset();
    QSqlDatabase::database(copyName_, false).close();
    QSqlDatabase::removeDatabase(copyName_);
}

void SharedLogWorker::CloseServer() {
    watchdog_.Watch(-1);
    if (QSqlDatabase::contains(listenName_)) {
        QSqlDatabase listen = QSqlDatabase::database(listenName_, false);
        if (listen.driver())
            disconnect(listen.driver(), nullptr, this, nullptr);
        listen.close();
    }
    if (QSqlDatabase::contains(serverName_))
        Server().close();
}

void SharedLogWorker::Report() {
    QStringList refused;
    if (copy_)
        for (const SharedLogCopy::Change& c : copy_->Pending(true))
            if (!c.refused.isEmpty())
                refused << QStringLiteral("%1 (%2 %3 %4): %5")
                               .arg(c.row.call, c.row.date, c.row.time, c.row.band, c.refused);
    emit StateChanged(online_, copy_ ? copy_->Waiting() : 0, refused, covered_);
}

void SharedLogWorker::TryConnect() {
    if (stopped_ || !copy_)
        return;
    CloseServer();
    QString error;
    bool up = QSqlDatabase::contains(serverName_) ? Server().open()
                                                  : OpenLogDatabase(location_, serverName_, &error);
    if (up) {
        watchdog_.Watch(StatementWatchdog::SocketOf(Server()));
        QString warning;
        QSqlDatabase db = Server();
        {
            WatchedStatement watched(watchdog_, kStatementLimit);
            QSqlQuery q(db);
            up = q.exec(QStringLiteral("SET statement_timeout = %1").arg(kStatementLimit.count()));
        }
        if (up) {
            WatchedStatement watched(watchdog_, kReadAllLimit);
            up = EnsureLogTable(db, table_, &error, &warning);
        }
        if (up && !warning.isEmpty() && warning != lastWarning_)
            emit Warning(lastWarning_ = warning);
        if (!up && !error.isEmpty() && !watchdog_.Fired() && Alive() && error != lastWarning_)
            emit Warning(lastWarning_ = error);
    }
    if (up) {
        QSqlDatabase listen = QSqlDatabase::contains(listenName_)
                                  ? QSqlDatabase::database(listenName_, false)
                                  : QSqlDatabase::cloneDatabase(serverName_, listenName_);
        up = listen.open() && listen.driver()->subscribeToNotification(LiveChannel(table_));
        if (up) {
            connect(listen.driver(), &QSqlDriver::notification, this, &SharedLogWorker::Notified,
                    Qt::UniqueConnection);
            WatchedStatement watched(watchdog_, kStatementLimit);
            emit Connected(BackendPid(Server()), BackendPid(listen));
        }
    }
    // Announcements missed while away are read by the rebuild.
    if (up) {
        online_ = true;
        up = SendChanges() && Rebuild() && SyncSide();
    }
    if (!up) {
        online_ = false;
        CloseServer();
        delayMs_ = delayMs_ == 0 ? kFirstRetryMs : std::min(delayMs_ * 2, kLongestRetryMs);
        retry_->start(delayMs_);
        Report();
        return;
    }
    delayMs_ = 0;
    heartbeat_->start();
    Report();
}

void SharedLogWorker::GoOffline() {
    if (!online_)
        return;
    online_ = false;
    heartbeat_->stop();
    CloseServer();
    delayMs_ = kFirstRetryMs;
    retry_->start(delayMs_);
    Report();
}

bool SharedLogWorker::Alive() {
    if (watchdog_.Fired() || !Server().isOpen())
        return false;
    WatchedStatement watched(watchdog_, kBeatLimit);
    QSqlQuery q(Server());
    return q.exec(QStringLiteral("SELECT 1")) && q.next();
}

void SharedLogWorker::Beat() {
    if (!online_)
        return;
    // The listening connection may have been ended on its own.
    QSqlDatabase listen = QSqlDatabase::database(listenName_, false);
    // Asked without a statement, which would take announcements off the
    // socket where the driver's notifier no longer sees them.
    bool listening = listen.isOpen();
    if (listening) {
        if (PGconn* conn = StatementWatchdog::ConnectionOf(listen))
            listening = PQstatus(conn) == CONNECTION_OK;
    }
    if (!listening || !Alive())
        GoOffline();
}

void SharedLogWorker::Deliver(quint64 change) {
    covered_ = std::max(covered_, change);
    if (!copy_)
        return;
    if (!online_) {
        Report();
        return;
    }
    if (!SendChanges())
        GoOffline();
    else
        Report();
}

bool SharedLogWorker::SendChanges() {
    bool refusedAny = false;
    for (const SharedLogCopy::Change& change : copy_->Pending(false)) {
        bool sent = false;
        int affected = 0;
        QString reason;
        {
            // The driver prepares on the server, and deallocates when the
            // query goes: all of it is watched.
            WatchedStatement watched(watchdog_, kStatementLimit);
            QSqlQuery q(Server());
            if (change.kind == SharedLogCopy::Kind::Insert) {
                q.prepare(InsertStatement(table_, false));
                BindAll(q, change.row);
            } else if (change.kind == SharedLogCopy::Kind::Update) {
                q.prepare(UpdateStatement(table_, QStringLiteral("QsoId")));
                BindUpdate(q, change.row, change.row.qsoId);
            } else {
                q.prepare(QStringLiteral("DELETE FROM %1 WHERE QsoId = ?").arg(table_));
                q.addBindValue(change.row.qsoId);
            }
            sent = q.exec();
            affected = q.numRowsAffected();
            reason = q.lastError().databaseText().trimmed().isEmpty()
                         ? q.lastError().text().trimmed()
                         : q.lastError().databaseText().trimmed();
        }
        if (sent && change.kind == SharedLogCopy::Kind::Update && affected == 0) {
            copy_->Refuse(change.seq, QStringLiteral("the shared log no longer holds this QSO"));
            refusedAny = true;
            continue;
        }
        if (sent) {
            copy_->Done(change.seq);
            continue;
        }
        // Only a server that still answers has refused the row.
        if (!Alive())
            return false;
        copy_->Refuse(change.seq, reason);
        refusedAny = true;
    }
    if (refusedAny)
        Report();
    return true;
}

void SharedLogWorker::PublishSide() {
    sidePending_ = true;
    if (online_ && !SyncSide() && !Alive())
        GoOffline();
}

bool SharedLogWorker::SyncSide() {
    const auto same = [](const StationSettings& a, const StationSettings& b) {
        return a.call == b.call && a.dxccPrefix == b.dxccPrefix && a.continent == b.continent &&
               a.sentExchange == b.sentExchange;
    };
    QSqlDatabase copy = copy_->Database();
    StationStore stationThere(Server(), table_), stationHere(copy, table_);
    SubmissionStore detailsThere(Server(), table_), detailsHere(copy, table_);
    QString error;
    StationSettings there, here;
    StationStore::Read readThere = StationStore::Read::Failed;
    std::optional<SubmissionDetails> detailsOnServer;
    {
        WatchedStatement watched(watchdog_, kStatementLimit);
        readThere = stationThere.Load(there, &error);
        if (readThere != StationStore::Read::Failed)
            detailsOnServer = detailsThere.Load(&error);
    }
    if (readThere == StationStore::Read::Failed || !detailsOnServer)
        return false;
    const StationStore::Read readHere = stationHere.Load(here, &error);
    const std::optional<SubmissionDetails> detailsInCopy = detailsHere.Load(&error);
    if (readHere == StationStore::Read::Failed || !detailsInCopy) {
        emit Warning(QStringLiteral("Cannot read this position's copy of the log's station: %1")
                         .arg(error));
        return true;
    }
    bool changed = false;
    bool ok = true;
    const bool mineFirst = sidePending_;
    if (readHere == StationStore::Read::Found &&
        (mineFirst || readThere == StationStore::Read::None)) {
        if (readThere == StationStore::Read::None || !same(here, there)) {
            WatchedStatement watched(watchdog_, kStatementLimit);
            ok = stationThere.Save(here, &error);
        }
    } else if (readThere == StationStore::Read::Found &&
               (readHere == StationStore::Read::None || !same(here, there))) {
        ok = stationHere.Save(there, &error);
        changed = true;
    }
    const SubmissionDetails none;
    if (ok && *detailsInCopy != *detailsOnServer) {
        if ((mineFirst || *detailsOnServer == none) && !(!mineFirst && *detailsInCopy == none)) {
            WatchedStatement watched(watchdog_, kStatementLimit);
            ok = detailsThere.Save(*detailsInCopy, &error);
        } else {
            ok = detailsHere.Save(*detailsOnServer, &error);
            changed = true;
        }
    }
    if (!ok)
        return false;
    sidePending_ = false;
    if (changed)
        emit SideChanged();
    return true;
}

bool SharedLogWorker::Rebuild() {
    std::vector<QsoRow> server;
    {
        WatchedStatement watched(watchdog_, kReadAllLimit);
        QSqlQuery q(Server());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY ID")
                        .arg(LogColumns().join(QStringLiteral(", ")), table_)))
            return false;
        while (q.next())
            server.push_back(RowFrom(q, 0));
        if (q.lastError().isValid())
            return false;
    }
    QSqlDatabase copy = copy_->Database();
    std::map<QString, CopyRow> mine;
    {
        QSqlQuery q(copy);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT ID, %1 FROM %2")
                        .arg(LogColumns().join(QStringLiteral(", ")), table_)))
            return true;
        while (q.next()) {
            CopyRow r{q.value(0).toLongLong(), RowFrom(q, 1)};
            mine.emplace(r.row.qsoId, std::move(r));
        }
    }
    // What this position changed and the server has not confirmed stays.
    std::set<QString> kept;
    for (const QString& id : copy_->PendingIds())
        kept.insert(id);
    std::vector<const QsoRow*> inserts;
    std::vector<std::pair<qint64, const QsoRow*>> updates;
    std::set<QString> onServer;
    for (const QsoRow& r : server) {
        onServer.insert(r.qsoId);
        if (r.qsoId.isEmpty() || kept.count(r.qsoId))
            continue;
        const auto found = mine.find(r.qsoId);
        if (found == mine.end())
            inserts.push_back(&r);
        else if (!(found->second.row == r))
            updates.emplace_back(found->second.id, &r);
    }
    std::vector<qint64> removals;
    for (const auto& [id, r] : mine)
        if (!onServer.count(id) && !kept.count(id))
            removals.push_back(r.id);
    if (inserts.empty() && updates.empty() && removals.empty()) {
        emit Rebuilt(false);
        return true;
    }
    if (!copy.transaction()) {
        emit Warning(QStringLiteral("Cannot update this position's copy of the shared log: %1")
                         .arg(copy.lastError().text()));
        return true;
    }
    bool ok = true;
    QSqlQuery remove(copy);
    remove.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table_));
    for (qint64 id : removals) {
        remove.addBindValue(id);
        ok = ok && remove.exec();
    }
    QSqlQuery update(copy);
    update.prepare(UpdateStatement(table_, QStringLiteral("ID")));
    for (const auto& [id, row] : updates) {
        BindUpdate(update, *row, id);
        ok = ok && update.exec();
    }
    QSqlQuery insert(copy);
    insert.prepare(InsertStatement(table_, true));
    for (const QsoRow* row : inserts) {
        BindAll(insert, *row);
        ok = ok && insert.exec();
    }
    if (!ok || !copy.commit()) {
        copy.rollback();
        emit Warning(QStringLiteral("Cannot update this position's copy of the shared log"));
        return true;
    }
    emit Rebuilt(true);
    return true;
}

void SharedLogWorker::Notified(const QString& name, QSqlDriver::NotificationSource,
                               const QVariant& payload) {
    if (!online_ || name != LiveChannel(table_))
        return;
    const QStringList parts = payload.toString().split(QLatin1Char(' '));
    const QString kind = parts.value(0);
    const QString qsoId = parts.value(1);
    if (qsoId.isEmpty() || (kind != QLatin1String("INSERT") && kind != QLatin1String("UPDATE") &&
                            kind != QLatin1String("DELETE"))) {
        // Without an id (a TRUNCATE, a row written by hand) only the whole
        // table tells what changed.
        if (!Rebuild())
            GoOffline();
        return;
    }
    Follow(kind, qsoId);
}

void SharedLogWorker::Follow(const QString& kind, const QString& qsoId) {
    const std::vector<QString> pending = copy_->PendingIds();
    if (std::find(pending.begin(), pending.end(), qsoId) != pending.end())
        return;
    std::optional<QsoRow> now;
    if (kind != QLatin1String("DELETE")) {
        bool read = false;
        {
            WatchedStatement watched(watchdog_, kStatementLimit);
            QSqlQuery q(Server());
            q.setForwardOnly(true);
            q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE QsoId = ?")
                          .arg(LogColumns().join(QStringLiteral(", ")), table_));
            q.addBindValue(qsoId);
            read = q.exec();
            if (read && q.next())
                now = RowFrom(q, 0);
        }
        if (!read) {
            // The rebuild after reconnecting reads it.
            if (!Alive())
                GoOffline();
            return;
        }
    }
    QSqlDatabase copy = copy_->Database();
    const std::optional<CopyRow> held = FindInCopy(copy, table_, qsoId);
    if (!now) {
        if (!held)
            return;
        QSqlQuery q(copy);
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table_));
        q.addBindValue(held->id);
        if (q.exec())
            emit RowRemoved(held->id, qsoId);
        return;
    }
    if (held && held->row == *now)
        return;
    QSqlQuery q(copy);
    if (held) {
        q.prepare(UpdateStatement(table_, QStringLiteral("ID")));
        BindUpdate(q, *now, held->id);
        if (q.exec())
            emit RowChanged(held->id, *now);
        return;
    }
    q.prepare(InsertStatement(table_, true));
    BindAll(q, *now);
    if (q.exec() && q.numRowsAffected() == 1)
        emit RowArrived(q.lastInsertId().toLongLong(), *now);
}

void SharedLogWorker::Import(const std::vector<QsoRow>& given) {
    cancelImport_ = false;
    const auto finish = [this](bool ok, int n, const QString& error) {
        emit ImportFinished(ok, n, error);
    };
    if (!online_) {
        finish(false, 0,
               QStringLiteral("the server of the shared log cannot be reached; an import needs "
                              "it, so that every position gets all of it or none"));
        return;
    }
    std::vector<QsoRow> rows = given;
    for (QsoRow& r : rows)
        if (r.qsoId.isEmpty())
            r.qsoId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = Server();
    const int total = static_cast<int>(rows.size());
    QString error;
    bool ok = false;
    {
        WatchedStatement watched(watchdog_, kStatementLimit);
        ok = db.transaction();
    }
    if (!ok)
        error = db.lastError().text().trimmed();
    std::optional<QSqlQuery> q;
    if (ok) {
        WatchedStatement watched(watchdog_, kStatementLimit);
        q.emplace(db);
        ok = q->prepare(InsertStatement(table_, false));
        if (!ok)
            error = q->lastError().text().trimmed();
    }
    for (int i = 0; ok && i < total; ++i) {
        BindAll(*q, rows[static_cast<std::size_t>(i)]);
        {
            WatchedStatement watched(watchdog_, kStatementLimit);
            ok = q->exec();
        }
        if (!ok)
            error = QStringLiteral("%1 was refused: %2")
                        .arg(rows[static_cast<std::size_t>(i)].call,
                             q->lastError().databaseText().trimmed().isEmpty()
                                 ? q->lastError().text().trimmed()
                                 : q->lastError().databaseText().trimmed());
        if (ok && cancelImport_) {
            ok = false;
            error = QStringLiteral("stopped");
        }
        if ((i + 1) % 50 == 0 || i + 1 == total)
            emit ImportProgress(i + 1, total);
    }
    if (q) {
        WatchedStatement watched(watchdog_, kStatementLimit);
        q.reset();
    }
    if (ok) {
        WatchedStatement watched(watchdog_, kReadAllLimit);
        ok = db.commit();
        if (!ok)
            error = QStringLiteral("the server did not take the import: %1")
                        .arg(db.lastError().text().trimmed());
    }
    if (!ok) {
        const bool lost = watchdog_.Fired() || !Alive();
        if (!lost) {
            WatchedStatement watched(watchdog_, kStatementLimit);
            db.rollback();
        }
        if (lost) {
            error += QStringLiteral("; the server stopped answering, so a commit cannot be told "
                                    "for sure: once online again the log view shows what it holds");
            GoOffline();
        }
        finish(false, 0, error);
        return;
    }
    // On the server: into the copy now, so that the replay after the
    // import counts every row.
    QSqlDatabase copy = copy_->Database();
    if (copy.transaction()) {
        QSqlQuery insert(copy);
        insert.prepare(InsertStatement(table_, true));
        for (const QsoRow& r : rows) {
            BindAll(insert, r);
            insert.exec();
        }
        if (!copy.commit())
            copy.rollback();
    }
    finish(true, total, {});
}

} // namespace qarvel
