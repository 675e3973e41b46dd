#include "LogSchema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qarvel {

const QStringList& LogColumns() {
    static const QStringList columns = {
        QStringLiteral("QSODate"),          QStringLiteral("QSOTime"),
        QStringLiteral("CallSign"),         QStringLiteral("Frequency"),
        QStringLiteral("DigiBand"),         QStringLiteral("QSOMode"),
        QStringLiteral("QSOReportSent"),    QStringLiteral("QSOReportRecived"),
        QStringLiteral("DXCCPrefix"),       QStringLiteral("MainPrefix"),
        QStringLiteral("Continent"),
    };
    return columns;
}

QString CreateLogTableStatement(const QString& table) {
    QString sql = QStringLiteral("CREATE TABLE %1 (ID INTEGER PRIMARY KEY").arg(table);
    for (const QString& column : LogColumns())
        sql += QStringLiteral(", %1 VARCHAR(255)").arg(column);
    sql += QLatin1Char(')');
    return sql;
}

bool EnsureLogTable(QSqlDatabase& db, const QString& table, QString* error) {
    if (db.tables().contains(table, Qt::CaseInsensitive))
        return true;
    QSqlQuery q(db);
    if (q.exec(CreateLogTableStatement(table)))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace qarvel
