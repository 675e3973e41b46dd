#include "logbook/LocalSerialNumbers.h"

#include "keyer/SerialText.h"
#include "logbook/LogBook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace qarvel {

LocalSerialNumbers::LocalSerialNumbers(LogBook& log, QObject* parent)
    : SerialNumbers(parent), log_(log) {}

std::optional<int> LocalSerialNumbers::Next() const {
    Load();
    return *highest_ + 1;
}

void LocalSerialNumbers::Load() const {
    if (highest_)
        return;
    int highest = 0;
    QSqlDatabase db = log_.Database();
    QSqlQuery q(db);
    q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS QarvelSerial ("
                          "LogTable VARCHAR(64) PRIMARY KEY, Highest INTEGER NOT NULL)"));
    q.prepare(QStringLiteral("SELECT Highest FROM QarvelSerial WHERE LogTable = ?"));
    q.addBindValue(log_.Table());
    if (q.exec() && q.next())
        highest = q.value(0).toInt();
    // A log written before qarvel kept the count, or by another program.
    if (q.exec(QStringLiteral("SELECT QSOReportSent FROM %1").arg(log_.Table())))
        while (q.next())
            highest = std::max(highest, SerialIn(q.value(0).toString()));
    highest_ = highest;
}

void LocalSerialNumbers::Used(int number) {
    Load();
    if (number <= *highest_)
        return;
    highest_ = number;
    QSqlDatabase db = log_.Database();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO QarvelSerial (LogTable, Highest) VALUES (?, 0)"));
    q.addBindValue(log_.Table());
    bool ok = q.exec();
    q.prepare(QStringLiteral("UPDATE QarvelSerial SET Highest = MAX(Highest, ?) WHERE LogTable = ?"));
    q.addBindValue(number);
    q.addBindValue(log_.Table());
    ok = ok && q.exec();
    if (!ok)
        // The QSO is logged with its number; only the count of a later
        // start could fall short, and then the log's own rows still raise it.
        emit StatusChanged(QStringLiteral("serial count not stored: %1").arg(q.lastError().text()),
                           true);
}

} // namespace qarvel
