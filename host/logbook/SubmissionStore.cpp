#include "logbook/SubmissionStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <utility>
#include <vector>

namespace qarvel {

namespace {

using TagLines = std::vector<std::pair<QString, QString>>;

TagLines Flatten(const SubmissionDetails& d) {
    TagLines out = {
        {QStringLiteral("CATEGORY-OPERATOR"), d.categoryOperator},
        {QStringLiteral("CATEGORY-ASSISTED"), d.categoryAssisted},
        {QStringLiteral("CATEGORY-BAND"), d.categoryBand},
        {QStringLiteral("CATEGORY-POWER"), d.categoryPower},
        {QStringLiteral("CATEGORY-STATION"), d.categoryStation},
        {QStringLiteral("CATEGORY-TRANSMITTER"), d.categoryTransmitter},
        {QStringLiteral("OPERATORS"), d.operators},
        {QStringLiteral("NAME"), d.name},
        {QStringLiteral("EMAIL"), d.email},
        {QStringLiteral("CLUB"), d.club},
        {QStringLiteral("LOCATION"), d.location},
        {QStringLiteral("PERIOD-START"), SubmissionDetails::FormatTime(d.periodStart)},
        {QStringLiteral("PERIOD-END"), SubmissionDetails::FormatTime(d.periodEnd)},
    };
    // Stored in minutes; 0 is "not given" and stored as no row.
    const auto minutes = [](int m) { return m > 0 ? QString::number(m) : QString(); };
    out.emplace_back(QStringLiteral("MINIMUM-BREAK"), minutes(d.minimumBreakMinutes));
    out.emplace_back(QStringLiteral("MAXIMUM-OPERATING-TIME"), minutes(d.maximumOperatingMinutes));
    for (const QString& line : d.address)
        out.emplace_back(QStringLiteral("ADDRESS"), line);
    for (const QString& line : d.soapbox)
        out.emplace_back(QStringLiteral("SOAPBOX"), line);
    return out;
}

bool TableExists(const QSqlDatabase& db) {
    return db.tables().contains(QLatin1String(SubmissionStore::kTable), Qt::CaseInsensitive);
}

} // namespace

SubmissionStore::SubmissionStore(QSqlDatabase db, QString logTable)
    : db_(std::move(db)), logTable_(std::move(logTable)) {}

std::optional<SubmissionDetails> SubmissionStore::Load(QString* error) const {
    SubmissionDetails details;
    if (!TableExists(db_))
        return details;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Tag, Value FROM %1 WHERE LogTable = ? ORDER BY Line")
                  .arg(QLatin1String(kTable)));
    q.addBindValue(logTable_);
    if (!q.exec()) {
        *error = QStringLiteral("Cannot read the submission details: %1")
                     .arg(q.lastError().text());
        return std::nullopt;
    }
    while (q.next()) {
        QString ignored;
        // A row another program wrote badly is dropped, not shown as an
        // error at every export: the dialog shows what is left.
        const QString value = q.value(1).toString();
        if (!value.isEmpty())
            details.Set(q.value(0).toString(), value, &ignored);
    }
    return details;
}

bool SubmissionStore::Save(const SubmissionDetails& details, QString* error) {
    QSqlQuery q(db_);
    if (!TableExists(db_) &&
        !q.exec(QStringLiteral("CREATE TABLE %1 (LogTable VARCHAR(255), Line INTEGER, "
                               "Tag VARCHAR(64), Value VARCHAR(1024))")
                    .arg(QLatin1String(kTable)))) {
        *error = QStringLiteral("Cannot keep the submission details in the log: %1")
                     .arg(q.lastError().text());
        return false;
    }
    if (!db_.transaction()) {
        *error = db_.lastError().text();
        return false;
    }
    const auto fail = [&](const QSqlQuery& failed) {
        *error = QStringLiteral("Cannot keep the submission details in the log: %1")
                     .arg(failed.lastError().text());
        db_.rollback();
        return false;
    };
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE LogTable = ?").arg(QLatin1String(kTable)));
    q.addBindValue(logTable_);
    if (!q.exec())
        return fail(q);
    int line = 0;
    for (const auto& [tag, value] : Flatten(details)) {
        if (value.isEmpty())
            continue;
        QSqlQuery insert(db_);
        insert.prepare(QStringLiteral("INSERT INTO %1 (LogTable, Line, Tag, Value) "
                                      "VALUES (?, ?, ?, ?)")
                           .arg(QLatin1String(kTable)));
        insert.addBindValue(logTable_);
        insert.addBindValue(++line);
        insert.addBindValue(tag);
        insert.addBindValue(value);
        if (!insert.exec())
            return fail(insert);
    }
    if (!db_.commit()) {
        *error = db_.lastError().text();
        db_.rollback();
        return false;
    }
    return true;
}

} // namespace qarvel
