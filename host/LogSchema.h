#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace qarvel {

// The columns of a qarvel log table, in table order. The plug-in reads
// CallSign, DigiBand, QSOMode, Continent, QSOReportRecived, DXCCPrefix and
// MainPrefix by name; the rest is what a log needs besides.
const QStringList& LogColumns();

// The statement that creates a log table named `table`.
QString CreateLogTableStatement(const QString& table);

// Creates the log table when the database lacks it. Returns false with the
// driver's text in `error` when that fails.
bool EnsureLogTable(QSqlDatabase& db, const QString& table, QString* error);

} // namespace qarvel
