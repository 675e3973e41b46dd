#include "logbook/StationStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <utility>

namespace qarvel {

StationStore::StationStore(QSqlDatabase db, QString logTable)
    // Both engines take table names without regard to case: so does the key.
    : db_(std::move(db)), key_(std::move(logTable).toLower()) {}

StationStore::Read StationStore::Load(StationSettings& station, QString* error) const {
    if (!db_.tables().contains(QLatin1String(kTable), Qt::CaseInsensitive))
        return Read::None;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT CallSign, DXCCPrefix, Continent, SentExchange FROM %1 "
                             "WHERE LogTable = ?")
                  .arg(QLatin1String(kTable)));
    q.addBindValue(key_);
    if (!q.exec()) {
        *error = QStringLiteral("Cannot read the log's own station: %1").arg(q.lastError().text());
        return Read::Failed;
    }
    if (!q.next())
        return Read::None;
    const QString call = q.value(0).toString().trimmed().toUpper();
    // A row without a call (written by hand or by another program) says
    // nothing about whose log it is.
    if (call.isEmpty())
        return Read::None;
    station.call = call;
    station.dxccPrefix = q.value(1).toString().trimmed().toUpper();
    station.continent = q.value(2).toString().trimmed().toUpper();
    station.sentExchange = q.value(3).toString().trimmed().toUpper();
    return Read::Found;
}

bool StationStore::Save(const StationSettings& station, QString* error) {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (LogTable VARCHAR(255) PRIMARY KEY, "
                               "CallSign VARCHAR(255), DXCCPrefix VARCHAR(255), "
                               "Continent VARCHAR(255), SentExchange VARCHAR(255))")
                    .arg(QLatin1String(kTable)))) {
        *error = QStringLiteral("Cannot keep the station in the log: %1").arg(q.lastError().text());
        return false;
    }
    q.prepare(QStringLiteral("INSERT INTO %1 (LogTable, CallSign, DXCCPrefix, Continent, "
                             "SentExchange) VALUES (?, ?, ?, ?, ?) ON CONFLICT (LogTable) DO "
                             "UPDATE SET CallSign = excluded.CallSign, DXCCPrefix = "
                             "excluded.DXCCPrefix, Continent = excluded.Continent, SentExchange "
                             "= excluded.SentExchange")
                  .arg(QLatin1String(kTable)));
    q.addBindValue(key_);
    q.addBindValue(station.call);
    q.addBindValue(station.dxccPrefix);
    q.addBindValue(station.continent);
    q.addBindValue(station.sentExchange);
    if (!q.exec()) {
        *error = QStringLiteral("Cannot keep the station in the log: %1").arg(q.lastError().text());
        return false;
    }
    return true;
}

} // namespace qarvel
