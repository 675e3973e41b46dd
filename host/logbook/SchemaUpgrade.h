#pragma once

#include <QSqlDatabase>
#include <QString>

namespace qarvel {

// Brings one log table to the layout of LogSchemaVersion(), in a single
// transaction: creates it when missing; to an older table adds the columns
// it lacks, gives every old row an id, the unique index on the ids and, on
// PostgreSQL, the trigger that announces each change. Several positions
// opening an old shared log at once upgrade it once: PostgreSQL serialises
// them on an advisory lock, and each reads the version again under it.
class SchemaUpgrade {
public:
    enum class Result { Current, Upgraded, Created, LeftAsItIs, Failed };

    SchemaUpgrade(QSqlDatabase db, QString table);

    // `why` says what failed (Failed) or why an old table that cannot be
    // written is left as it is (LeftAsItIs).
    Result Run(QString* why);

    // The version recorded for the table; 1 for a table without a record
    // (one made before versions were kept), 0 when there is no table.
    int StoredVersion();

private:
    bool IsPostgres() const;
    bool Exec(const QString& sql, QString* why);
    bool Build(bool exists, QString* why);
    // The table holds every column of a log made before ids were.
    bool IsQarvelTable();
    bool AddMissingColumns(QString* why);
    bool GiveIds(QString* why);
    bool CreateTrigger(bool replace, QString* why);
    bool RecordVersion(QString* why);

    QSqlDatabase db_;
    QString table_;
    int lastCode_ = 0; // the driver's code of the last failed statement
};

} // namespace qarvel
