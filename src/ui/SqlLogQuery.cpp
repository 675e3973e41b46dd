#include "SqlLogQuery.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

namespace zelmar {

TSqlLogQuery::TSqlLogQuery(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("LogQuery"));
}

void TSqlLogQuery::Attach(std::int32_t connection) {
    connectionName_ = QStringLiteral("qarvel-log-%1").arg(connection);
}

void TSqlLogQuery::Fail(const QString& what, const QString& driverText) const {
    QString text = what;
    if (!driverText.trimmed().isEmpty())
        text += QStringLiteral(": ") + driverText.trimmed();
    throw TDatabaseError(text.toLocal8Bit().toStdString());
}

void TSqlLogQuery::Close() {
    query_.reset();
    columns_.clear();
    eof_ = true;
}

void TSqlLogQuery::SetSQL(const std::string& statement) {
    statement_ = QString::fromLocal8Bit(statement.data(), static_cast<qsizetype>(statement.size()));
}

void TSqlLogQuery::Open() {
    Close();
    if (!QSqlDatabase::contains(connectionName_))
        Fail(QStringLiteral("No database connection named %1").arg(connectionName_), {});
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen())
        Fail(QStringLiteral("The database connection %1 is not open").arg(connectionName_),
             db.lastError().text());

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(statement_))
        Fail(QStringLiteral("Cannot read the log"), q.lastError().text());
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        columns_.emplace(rec.fieldName(i).toLower().toStdString(), i);
    eof_ = !q.next();
    if (eof_ && q.lastError().isValid())
        Fail(QStringLiteral("Cannot read the log"), q.lastError().text());
    query_.emplace(std::move(q));
}

bool TSqlLogQuery::Eof() const { return !query_ || eof_; }

void TSqlLogQuery::Next() {
    if (!query_ || eof_)
        return;
    eof_ = !query_->next();
    if (eof_ && query_->lastError().isValid())
        Fail(QStringLiteral("Cannot read the log"), query_->lastError().text());
}

std::string TSqlLogQuery::FieldAsText(std::string_view name) {
    if (!query_ || eof_)
        Fail(QStringLiteral("No current row to read %1 from")
                 .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))),
             {});
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const auto it = columns_.find(key);
    if (it == columns_.end())
        Fail(QStringLiteral("Field '%1' not found")
                 .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))),
             {});
    const QVariant v = query_->value(it->second);
    if (v.isNull())
        return {};
    return v.toString().toLocal8Bit().toStdString();
}

} // namespace zelmar
