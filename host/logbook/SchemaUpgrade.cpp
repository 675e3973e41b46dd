#include "logbook/SchemaUpgrade.h"

#include "logbook/LogSchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace qarvel {

namespace {

constexpr int kSqliteReadOnly = 8;
// Any number of our own, the same in every qarvel: the lock that lets one
// position at a time look at and upgrade the schema.
constexpr qint64 kSchemaLock = 0x71617276656c;

QString VersionTable() {
    return QStringLiteral("QarvelSchema");
}

} // namespace

SchemaUpgrade::SchemaUpgrade(QSqlDatabase db, QString table)
    : db_(std::move(db)), table_(std::move(table)) {}

bool SchemaUpgrade::IsPostgres() const {
    return db_.driverName() == QLatin1String("QPSQL");
}

bool SchemaUpgrade::Exec(const QString& sql, QString* why) {
    QSqlQuery q(db_);
    if (q.exec(sql))
        return true;
    if (why)
        *why = q.lastError().text().trimmed();
    lastCode_ = q.lastError().nativeErrorCode().toInt();
    return false;
}

int SchemaUpgrade::StoredVersion() {
    if (!db_.tables().contains(table_, Qt::CaseInsensitive))
        return 0;
    if (!db_.tables().contains(VersionTable(), Qt::CaseInsensitive))
        return 1;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT Version FROM %1 WHERE LogTable = ?").arg(VersionTable()));
    q.addBindValue(table_.toLower());
    if (!q.exec() || !q.next())
        return 1;
    return q.value(0).toInt();
}

bool SchemaUpgrade::IsQarvelTable() {
    QSqlQuery shape(db_);
    if (!shape.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table_)))
        return false;
    const QSqlRecord record = shape.record();
    for (const QString& column : LogColumns())
        if (column != QLatin1String("Position") && column != QLatin1String("QsoId") &&
            record.indexOf(column) < 0)
            return false;
    return true;
}

bool SchemaUpgrade::AddMissingColumns(QString* why) {
    // Read from a query: the driver's record() of a table name is case
    // sensitive on PostgreSQL, the table's own columns are not.
    QSqlQuery shape(db_);
    if (!shape.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table_))) {
        if (why)
            *why = shape.lastError().text().trimmed();
        return false;
    }
    const QSqlRecord record = shape.record();
    for (const QString& column : LogColumns())
        if (record.indexOf(column) < 0 &&
            !Exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                      .arg(table_, LogColumnDefinition(column, db_.driverName())),
                  why))
            return false;
    return true;
}

bool SchemaUpgrade::GiveIds(QString* why) {
    // Random version-4 UUIDs, made by the database for the rows logged
    // before ids were.
    const QString uuid =
        IsPostgres()
            ? QStringLiteral("gen_random_uuid()::text")
            : QStringLiteral("lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || "
                             "substr(hex(randomblob(2)), 2) || '-' || "
                             "substr('89ab', 1 + abs(random()) % 4, 1) || "
                             "substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))");
    return Exec(QStringLiteral("UPDATE %1 SET QsoId = %2 WHERE QsoId IS NULL OR QsoId = ''")
                    .arg(table_, uuid),
                why) &&
           Exec(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1_qsoid ON %1 (QsoId)")
                    .arg(table_),
                why);
}

bool SchemaUpgrade::CreateTrigger(bool replace, QString* why) {
    if (!IsPostgres())
        return true;
    const QString function = QStringLiteral("qarvel_announce_%1").arg(table_.toLower());
    const QString channel = LiveChannel(table_);
    return Exec(QStringLiteral(
                    "CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$\n"
                    "BEGIN\n"
                    "  IF TG_OP = 'TRUNCATE' THEN\n"
                    "    PERFORM pg_notify('%2', 'TRUNCATE');\n"
                    "  ELSIF TG_OP = 'DELETE' THEN\n"
                    "    PERFORM pg_notify('%2', 'DELETE ' || coalesce(OLD.QsoId, '') || ' ' || "
                    "coalesce(OLD.Position, ''));\n"
                    "  ELSE\n"
                    "    PERFORM pg_notify('%2', TG_OP || ' ' || coalesce(NEW.QsoId, '') || ' ' "
                    "|| coalesce(NEW.Position, ''));\n"
                    "  END IF;\n"
                    "  RETURN NULL;\n"
                    "END $$")
                    .arg(function, channel),
                why) &&
           // Only an older table may have them; the server would say so.
           (!replace ||
            (Exec(QStringLiteral("DROP TRIGGER IF EXISTS qarvel_announce ON %1").arg(table_),
                  why) &&
             Exec(QStringLiteral("DROP TRIGGER IF EXISTS qarvel_announce_truncate ON %1")
                      .arg(table_),
                  why))) &&
           Exec(QStringLiteral("CREATE TRIGGER qarvel_announce AFTER INSERT OR UPDATE OR DELETE "
                               "ON %1 FOR EACH ROW EXECUTE FUNCTION %2()")
                    .arg(table_, function),
                why) &&
           Exec(QStringLiteral("CREATE TRIGGER qarvel_announce_truncate AFTER TRUNCATE ON %1 "
                               "FOR EACH STATEMENT EXECUTE FUNCTION %2()")
                    .arg(table_, function),
                why);
}

bool SchemaUpgrade::RecordVersion(QString* why) {
    if (!Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (LogTable VARCHAR(255) PRIMARY KEY, "
                             "Version INTEGER NOT NULL)")
                  .arg(VersionTable()),
              why))
        return false;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO %1 (LogTable, Version) VALUES (?, ?) ON CONFLICT "
                             "(LogTable) DO UPDATE SET Version = excluded.Version")
                  .arg(VersionTable()));
    q.addBindValue(table_.toLower());
    q.addBindValue(LogSchemaVersion());
    if (q.exec())
        return true;
    if (why)
        *why = q.lastError().text().trimmed();
    return false;
}

bool SchemaUpgrade::Build(bool exists, QString* why) {
    if (!exists && !Exec(CreateLogTableStatement(table_, db_.driverName()), why))
        return false;
    return AddMissingColumns(why) && GiveIds(why) && CreateTrigger(exists, why) && RecordVersion(why);
}

SchemaUpgrade::Result SchemaUpgrade::Run(QString* why) {
    // Nothing to write for a current table: a read-only log stays readable.
    if (StoredVersion() >= LogSchemaVersion())
        return Result::Current;
    if (!db_.transaction()) {
        if (why)
            *why = db_.lastError().text().trimmed();
        return Result::Failed;
    }
    QString text;
    bool ok = !IsPostgres() ||
              Exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLock), &text);
    const int version = ok ? StoredVersion() : 0;
    if (ok && version >= LogSchemaVersion()) {
        db_.commit();
        return Result::Current;
    }
    if (ok && version > 0 && !IsQarvelTable()) {
        // Not a log qarvel made: left to whoever made it.
        db_.commit();
        return Result::Current;
    }
    if (ok)
        ok = Build(version > 0, &text);
    if (ok && db_.commit())
        return version > 0 ? Result::Upgraded : Result::Created;
    if (ok)
        text = db_.lastError().text().trimmed();
    db_.rollback();
    const bool readOnly = !IsPostgres() && version > 0 && (lastCode_ & 0xff) == kSqliteReadOnly;
    if (why)
        *why = readOnly ? QStringLiteral("The log table %1 is of an older qarvel and the log "
                                         "cannot be written: it is read as it is, without "
                                         "positions and ids.")
                              .arg(table_)
                        : text;
    return readOnly ? Result::LeftAsItIs : Result::Failed;
}

} // namespace qarvel
