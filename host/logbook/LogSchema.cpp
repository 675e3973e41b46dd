#include "logbook/LogSchema.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace qarvel {

const QStringList& LogColumns() {
    static const QStringList columns = {
        QStringLiteral("QSODate"),       QStringLiteral("QSOTime"),
        QStringLiteral("CallSign"),      QStringLiteral("Frequency"),
        QStringLiteral("DigiBand"),      QStringLiteral("QSOMode"),
        QStringLiteral("QSOReportSent"), QStringLiteral("QSOReportRecived"),
        QStringLiteral("DXCCPrefix"),    QStringLiteral("MainPrefix"),
        QStringLiteral("Continent"),
    };
    return columns;
}

QString CreateLogTableStatement(const QString& table, const QString& driver) {
    const bool postgres = driver == QLatin1String("QPSQL");
    QString sql = QStringLiteral("CREATE TABLE %1 (ID %2 PRIMARY KEY")
                      .arg(table, postgres ? QStringLiteral("SERIAL") : QStringLiteral("INTEGER"));
    for (const QString& column : LogColumns())
        sql += QStringLiteral(", %1 VARCHAR(255)").arg(column);
    sql += QLatin1Char(')');
    return sql;
}

bool EnsureLogTable(QSqlDatabase& db, const QString& table, QString* error) {
    if (db.tables().contains(table, Qt::CaseInsensitive))
        return true;
    QSqlQuery q(db);
    if (q.exec(CreateLogTableStatement(table, db.driverName())))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

bool IsPlainTableName(const QString& table) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return plain.match(table).hasMatch();
}

} // namespace qarvel
