#include "SqlLogQuery.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

namespace zelmar {

namespace {

QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

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
    statement_ = FromBytes(statement);
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
    // Forward only: the driver may hand rows over as they come instead of
    // keeping the whole log in memory.
    q.setForwardOnly(true);
    if (!q.exec(statement_))
        Fail(QStringLiteral("Cannot read the log"), q.lastError().text());
    eof_ = !q.next();
    if (eof_ && q.lastError().isValid())
        Fail(QStringLiteral("Cannot read the log"), q.lastError().text());
    query_.emplace(std::move(q));
}

bool TSqlLogQuery::Eof() const {
    return !query_ || eof_;
}

void TSqlLogQuery::Next() {
    if (!query_ || eof_)
        return;
    eof_ = !query_->next();
    if (eof_ && query_->lastError().isValid())
        Fail(QStringLiteral("Cannot read the log"), query_->lastError().text());
}

int TSqlLogQuery::ColumnOf(std::string_view name) {
    for (const auto& [asked, position] : columns_)
        if (asked == name)
            return position;
    // QSqlRecord::indexOf ignores case.
    const int position = query_->record().indexOf(FromBytes(name));
    if (position < 0)
        Fail(QStringLiteral("Field '%1' not found").arg(FromBytes(name)), {});
    columns_.emplace_back(std::string(name), position);
    return position;
}

std::string TSqlLogQuery::FieldAsText(std::string_view name) {
    if (!query_ || eof_)
        Fail(QStringLiteral("No current row to read %1 from").arg(FromBytes(name)), {});
    const QVariant v = query_->value(ColumnOf(name));
    if (v.isNull())
        return {};
    const QByteArray bytes = v.toString().toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace zelmar
