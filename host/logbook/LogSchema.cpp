#include "logbook/LogSchema.h"

#include "logbook/SchemaUpgrade.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace qarvel {

namespace {

bool IsPostgres(const QString& driver) {
    return driver == QLatin1String("QPSQL");
}

// Calls in the byte order SQLite compares them in, and that the duplicate
// search of the module relies on, whatever language the server speaks.
QString CallSignCollation(const QString& driver) {
    return IsPostgres(driver) ? QStringLiteral(" COLLATE \"C\"") : QString();
}

// Strings that a language's collation sorts otherwise than by their bytes:
// case, digits against letters, a number's length, the portable sign.
QStringList SortProbe() {
    return {QStringLiteral("a"),  QStringLiteral("B"),   QStringLiteral("A"),
            QStringLiteral("9"),  QStringLiteral("10"),  QStringLiteral("/"),
            QStringLiteral("-"),  QStringLiteral("ab"),  QStringLiteral("DL/K1A"),
            QStringLiteral("DL1A")};
}

// On PostgreSQL, the warning about an existing table whose CallSign column
// does not sort by bytes; empty when it does or cannot be told. The column's
// own collation decides the order of the probe, whether it was named in the
// table or comes from the database's default.
QString CallSignOrderWarning(QSqlDatabase& db, const QString& table) {
    QStringList values;
    for (const QString& v : SortProbe())
        values << QStringLiteral("('%1')").arg(v);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT x FROM (SELECT CallSign AS x FROM %1 WHERE false UNION ALL "
                               "SELECT v FROM (VALUES %2) AS p(v)) AS s ORDER BY x")
                    .arg(table, values.join(QStringLiteral(", ")))))
        return {};
    QStringList seen;
    while (q.next())
        seen << q.value(0).toString();
    QStringList bytes = SortProbe();
    std::sort(bytes.begin(), bytes.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    if (seen == bytes)
        return {};

    QString collation = QStringLiteral("of the database");
    if (q.exec(QStringLiteral("SELECT c.collname FROM pg_attribute a JOIN pg_collation c ON "
                              "c.oid = a.attcollation WHERE a.attrelid = to_regclass('%1') AND "
                              "a.attname = 'callsign'")
                   .arg(table.toLower())) &&
        q.next() && q.value(0).toString() != QLatin1String("default"))
        collation = QStringLiteral("\"%1\"").arg(q.value(0).toString());
    return QStringLiteral(
               "The CallSign column of the log table %1 sorts by the collation %2, not by "
               "\"C\": a replay can count differently from the same log in SQLite. qarvel "
               "leaves the table as it is. To sort it as qarvel's own tables do:\n"
               "    ALTER TABLE %1 ALTER COLUMN CallSign TYPE VARCHAR(255) COLLATE \"C\";")
        .arg(table, collation);
}

} // namespace

const QStringList& LogColumns() {
    static const QStringList columns = {
        QStringLiteral("QSODate"),       QStringLiteral("QSOTime"),
        QStringLiteral("CallSign"),      QStringLiteral("Frequency"),
        QStringLiteral("DigiBand"),      QStringLiteral("QSOMode"),
        QStringLiteral("QSOReportSent"), QStringLiteral("QSOReportRecived"),
        QStringLiteral("DXCCPrefix"),    QStringLiteral("MainPrefix"),
        QStringLiteral("Continent"),     QStringLiteral("Position"),
        QStringLiteral("QsoId"),
    };
    return columns;
}

QStringList LogColumnValues(const QsoRow& r) {
    return {r.date, r.time,     r.call,       r.frequency,  r.band,      r.mode,     r.sent,
            r.received, r.dxccPrefix, r.mainPrefix, r.continent, r.position, r.qsoId};
}

QString* LogColumnField(QsoRow& r, const QString& column) {
    QString* fields[] = {&r.date,       &r.time,      &r.call,     &r.frequency, &r.band,
                         &r.mode,       &r.sent,      &r.received, &r.dxccPrefix,
                         &r.mainPrefix, &r.continent, &r.position, &r.qsoId};
    static_assert(std::size(fields) == 13, "one field per log column");
    const qsizetype i = LogColumns().indexOf(column);
    return i >= 0 ? fields[i] : nullptr;
}

int LogSchemaVersion() {
    return 2;
}

QString LiveChannel(const QString& table) {
    return QStringLiteral("qarvel_log_%1").arg(table.toLower());
}

QString LogColumnDefinition(const QString& column, const QString& driver) {
    QString definition = QStringLiteral("%1 VARCHAR(255)").arg(column);
    if (column == QLatin1String("QsoId"))
        return QStringLiteral("QsoId VARCHAR(64)");
    if (column == QLatin1String("CallSign"))
        definition += CallSignCollation(driver);
    return definition;
}

QString CreateLogTableStatement(const QString& table, const QString& driver) {
    // Never an ID used before: an undone delete writes its row back under
    // its own ID, which a later QSO must not have taken meanwhile. SQLite
    // reuses the highest ID after a delete unless told otherwise; a
    // PostgreSQL sequence never goes back.
    QString sql = QStringLiteral("CREATE TABLE %1 (ID %2")
                      .arg(table, IsPostgres(driver)
                                      ? QStringLiteral("SERIAL PRIMARY KEY")
                                      : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"));
    for (const QString& column : LogColumns())
        sql += QStringLiteral(", ") + LogColumnDefinition(column, driver);
    sql += QLatin1Char(')');
    return sql;
}

bool EnsureLogTable(QSqlDatabase& db, const QString& table, QString* error, QString* warning) {
    if (warning)
        warning->clear();
    QString why;
    const SchemaUpgrade::Result result = SchemaUpgrade(db, table).Run(&why);
    if (result == SchemaUpgrade::Result::Failed) {
        if (error)
            *error = why;
        return false;
    }
    QStringList notes;
    if (result == SchemaUpgrade::Result::LeftAsItIs)
        notes << why;
    if (IsPostgres(db.driverName())) {
        const QString order = CallSignOrderWarning(db, table);
        if (!order.isEmpty())
            notes << order;
    }
    if (warning)
        *warning = notes.join(QLatin1Char('\n'));
    return true;
}

bool IsPlainTableName(const QString& table) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return plain.match(table).hasMatch();
}

} // namespace qarvel
