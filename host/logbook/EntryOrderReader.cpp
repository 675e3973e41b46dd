#include "logbook/EntryOrderReader.h"

#include "logbook/LogBook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace qarvel {

std::optional<std::vector<QsoRow>> ReadLogInEntryOrder(const LogBook& log, QString* error) {
    QSqlQuery q(log.Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(log.Table()))) {
        *error = QStringLiteral("Cannot read the log: %1").arg(q.lastError().text());
        return std::nullopt;
    }
    const QSqlRecord record = q.record();
    const std::pair<const char*, QString QsoRow::*> columns[] = {
        {"QSODate", &QsoRow::date},          {"QSOTime", &QsoRow::time},
        {"CallSign", &QsoRow::call},         {"Frequency", &QsoRow::frequency},
        {"DigiBand", &QsoRow::band},         {"QSOMode", &QsoRow::mode},
        {"QSOReportSent", &QsoRow::sent},    {"QSOReportRecived", &QsoRow::received},
        {"DXCCPrefix", &QsoRow::dxccPrefix}, {"MainPrefix", &QsoRow::mainPrefix},
        {"Continent", &QsoRow::continent},   {"Position", &QsoRow::position},
    };
    std::vector<std::pair<int, QString QsoRow::*>> present;
    for (const auto& [name, field] : columns) {
        const int i = record.indexOf(QLatin1String(name));
        if (i >= 0)
            present.emplace_back(i, field);
    }
    std::vector<QsoRow> rows;
    while (q.next()) {
        QsoRow r;
        for (const auto& [i, field] : present) {
            const QVariant v = q.value(i);
            r.*field = v.isNull() ? QString() : v.toString();
        }
        rows.push_back(std::move(r));
    }
    if (q.lastError().isValid()) {
        *error = QStringLiteral("Cannot read the log: %1").arg(q.lastError().text());
        return std::nullopt;
    }
    return rows;
}

} // namespace qarvel
