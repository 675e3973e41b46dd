// Two positions logging on one shared PostgreSQL log at once: no serial
// number is sent twice, and none is lost.
#include "logbook/LogBook.h"
#include "logbook/LogConnection.h"
#include "PostgresServer.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using zelmar::testing::PostgresServer;

TEST(SharedSerialTest, TwoPositionsAtOnceSendEveryNumberOnce) {
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.Running()) << server.Failure().toStdString();
    QString error;
    const QString database = server.CreateDatabase(&error);
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    const QString url = server.SocketUrl(database);
    ASSERT_TRUE(qarvel::LogBook::Open(url, QStringLiteral("serial-admin"), QStringLiteral("Log"),
                                      &error))
        << error.toStdString();

    constexpr int kEach = 100;
    QTemporaryDir homes;
    std::vector<std::unique_ptr<QProcess>> positions;
    for (int p = 0; p < 2; ++p) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), homes.filePath(QStringLiteral("p%1").arg(p)));
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(ZELMAR_TEST_BUILD_DIR) + QStringLiteral("/serial-position"),
                       {url, QStringLiteral("RUN%1").arg(p + 1), QString::number(kEach)});
        positions.push_back(std::move(process));
    }
    std::map<int, int> held; // number -> times still held by a position
    for (auto& p : positions) {
        ASSERT_TRUE(p->waitForFinished(120000));
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        const QStringList words = QString::fromLatin1(p->readAllStandardOutput()).split(
            QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_FALSE(words.isEmpty());
        EXPECT_EQ(words.first().trimmed(), QStringLiteral("held"));
        for (qsizetype i = 1; i < words.size(); ++i)
            ++held[words[i].trimmed().toInt()];
    }

    std::map<int, int> sent; // number -> QSOs that sent it
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("serial-admin"), false));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT QSOReportSent FROM Log")));
    int rows = 0;
    while (q.next()) {
        ++rows;
        const QStringList words = q.value(0).toString().split(QLatin1Char(' '));
        ASSERT_EQ(words.size(), 2) << q.value(0).toString().toStdString();
        EXPECT_EQ(words[1].size(), 3); // stored as 001
        ++sent[words[1].toInt()];
    }
    EXPECT_EQ(rows, 2 * kEach);
    // Every number the server handed out is either sent once or still held
    // by one position for its next QSO: 1 .. the highest, without a gap.
    const int highest = std::max(sent.rbegin()->first, held.empty() ? 0 : held.rbegin()->first);
    for (int n = 1; n <= highest; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(sent[n] + held[n], 1);
    }
    // The numbers held are few: at most two blocks per position.
    EXPECT_LE(highest, 2 * kEach + 2 * 20);
}
