// A PostgreSQL log sorts its calls by their bytes, as an SQLite log does,
// also in a database whose default collation is a language's; a table made
// otherwise is left as it is, with a warning.

#include "PostgresServer.h"
#include "logbook/LogBook.h"
#include "logbook/LogSchema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace zelmar::testing;
using ::testing::HasSubstr;

namespace {

TEST(PostgresCallOrder, NewTablesSortByBytesAndOthersAreLeftWithAWarning) {
    PostgresServer& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Failure().toStdString();
    QString error;
    const QString database = server.CreateDatabase(
        &error, QStringLiteral("TEMPLATE template0 LOCALE_PROVIDER icu ICU_LOCALE 'en'"));
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    const QString name = QStringLiteral("qarvel-log-1");
    QString warning;
    ASSERT_TRUE(qarvel::LogBook::Open(server.SocketUrl(database), name, QStringLiteral("Log"),
                                      &error, &warning))
        << error.toStdString();
    QSqlDatabase db = QSqlDatabase::database(name);
    // The calls in byte order; English puts ab1ab between AA1AA and AC1AC.
    const QStringList calls = {"AA1AA", "AC1AC", "DL/K1A", "DL1A", "ab1ab"};
    const auto sorted = [&](const QString& table) {
        QSqlQuery q(db);
        for (const QString& call : calls)
            EXPECT_TRUE(q.exec(QStringLiteral("INSERT INTO %1 (CallSign) VALUES ('%2')")
                                   .arg(table, call)));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT CallSign FROM %1 ORDER BY CallSign").arg(table)));
        QStringList seen;
        while (q.next())
            seen << q.value(0).toString();
        return seen;
    };
    EXPECT_EQ(warning, "");
    EXPECT_EQ(sorted("Log"), calls);

    // Made by an older qarvel, in the database's language.
    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE Old (ID SERIAL PRIMARY KEY, CallSign TEXT)"));
    ASSERT_TRUE(qarvel::EnsureLogTable(db, QStringLiteral("Old"), &error, &warning));
    EXPECT_THAT(warning.toStdString(),
                HasSubstr("The CallSign column of the log table Old sorts by the collation of "
                          "the database, not by \"C\""));
    EXPECT_THAT(warning.toStdString(),
                HasSubstr("ALTER TABLE Old ALTER COLUMN CallSign TYPE VARCHAR(255) COLLATE \"C\";"));
    EXPECT_EQ(sorted("Old").indexOf("ab1ab"), 1) << "the table was changed";
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

} // namespace
