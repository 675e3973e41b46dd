#pragma once

#include "scoring/LogQuery.h"

#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelmar {

// The log query over Qt SQL, on the host's connection "qarvel-log-<n>".
// Reads forward only; texts reach the core as their local 8-bit bytes.
class TSqlLogQuery : public QObject, public TLogQuery {
    Q_OBJECT
public:
    explicit TSqlLogQuery(QObject* parent = nullptr);

    // Binds the query to the connection that `connection` names. The
    // connection is looked up at every open, so a missing one is reported
    // as a database error then.
    void Attach(std::int32_t connection);
    QString ConnectionName() const { return connectionName_; }

    void Close() override;
    void SetSQL(const std::string& statement) override;
    void Open() override;
    bool Eof() const override;
    void Next() override;
    // Column names are matched ignoring case, as PostgreSQL folds them.
    std::string FieldAsText(std::string_view name) override;

    bool IsOpen() const { return query_.has_value(); }

private:
    [[noreturn]] void Fail(const QString& what, const QString& driverText) const;
    int ColumnOf(std::string_view name);

    QString connectionName_;
    QString statement_;
    std::optional<QSqlQuery> query_;
    bool eof_ = true;
    // The position of every column name asked for since the query opened;
    // the replay asks the same seven names for every row.
    std::vector<std::pair<std::string, int>> columns_;
};

} // namespace zelmar
