// A PostgreSQL log sorts its calls by their bytes, as an SQLite log does,
// also in a database whose default collation is a language's; a table made
// otherwise is left as it is, with a warning.

#include "PostgresServer.h"
#include "logbook/LogBook.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace zelmar::testing;
using ::testing::HasSubstr;

namespace {

const QString kConnection = QStringLiteral("qarvel-log-1");
// In byte order; English puts ab1ab between AA1AA and AC1AC.
const QStringList kCalls = {QStringLiteral("AA1AA"), QStringLiteral("AC1AC"),
                            QStringLiteral("DL/K1A"), QStringLiteral("DL1A"),
                            QStringLiteral("ab1ab")};

class PostgresCallOrder : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PostgresServer::Shared().Running())
            GTEST_SKIP() << PostgresServer::Shared().Failure().toStdString();
        QString error;
        database_ = PostgresServer::Shared().CreateDatabase(
            &error, QStringLiteral("TEMPLATE template0 LOCALE_PROVIDER icu ICU_LOCALE 'en'"));
        ASSERT_FALSE(database_.isEmpty()) << error.toStdString();
    }
    void TearDown() override { Close(); }

    // Opens the table as qarvel does, fills it and returns the warning.
    std::string OpenAndFill(const QString& table) {
        Close();
        QString error;
        QString warning;
        EXPECT_TRUE(qarvel::LogBook::Open(PostgresServer::Shared().SocketUrl(database_),
                                          kConnection, table, &error, &warning))
            << error.toStdString();
        qarvel::LogBook log(kConnection, table);
        for (auto it = kCalls.rbegin(); it != kCalls.rend(); ++it) {
            qarvel::QsoRow q;
            q.call = *it;
            EXPECT_TRUE(log.Append(q, &error)) << error.toStdString();
        }
        return warning.toStdString();
    }

    QStringList Sorted(const QString& table) {
        QSqlQuery q(QSqlDatabase::database(kConnection, false));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT CallSign FROM %1 ORDER BY CallSign").arg(table)));
        QStringList calls;
        while (q.next())
            calls << q.value(0).toString();
        return calls;
    }

    void Exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(kConnection, false));
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }

    static void Close() {
        QSqlDatabase::database(kConnection, false).close();
        QSqlDatabase::removeDatabase(kConnection);
    }

    QString database_;
};

TEST_F(PostgresCallOrder, NewTablesSortByBytesAndOthersAreLeftWithAWarning) {
    EXPECT_EQ(OpenAndFill(QStringLiteral("Log")), "");
    EXPECT_EQ(Sorted(QStringLiteral("Log")), kCalls);
    // Opened again: a table of qarvel's own raises nothing.
    EXPECT_EQ(OpenAndFill(QStringLiteral("Log")), "");

    // Made by an older qarvel, in the database's language...
    Exec(QStringLiteral("CREATE TABLE Old (ID SERIAL PRIMARY KEY, CallSign VARCHAR(255), "
                        "QSODate TEXT, QSOTime TEXT, Frequency TEXT, DigiBand TEXT, QSOMode TEXT, "
                        "QSOReportSent TEXT, QSOReportRecived TEXT, DXCCPrefix TEXT, "
                        "MainPrefix TEXT, Continent TEXT)"));
    const std::string old = OpenAndFill(QStringLiteral("Old"));
    EXPECT_THAT(old, HasSubstr("The CallSign column of the log table Old sorts by the collation "
                               "of the database, not by \"C\""));
    EXPECT_THAT(old, HasSubstr("ALTER TABLE Old ALTER COLUMN CallSign TYPE VARCHAR(255) "
                               "COLLATE \"C\";"));
    EXPECT_EQ(Sorted(QStringLiteral("Old")).indexOf("ab1ab"), 1) << "the table was changed";

    // ...or with a collation named in the table.
    Exec(QStringLiteral("CREATE TABLE Named (ID SERIAL PRIMARY KEY, CallSign TEXT COLLATE "
                        "\"en-x-icu\", QSODate TEXT, QSOTime TEXT, Frequency TEXT, DigiBand TEXT, "
                        "QSOMode TEXT, QSOReportSent TEXT, QSOReportRecived TEXT, DXCCPrefix TEXT, "
                        "MainPrefix TEXT, Continent TEXT)"));
    EXPECT_THAT(OpenAndFill(QStringLiteral("Named")), HasSubstr("collation \"en-x-icu\""));
}

} // namespace
