// Several positions on one shared PostgreSQL log, each a process of its own,
// through a lost connection, a stopped server and a position killed while
// offline; and the in-place upgrade of a log table made before ids.
#include "logbook/LogBook.h"
#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "PostgresServer.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QVariant>
#include <gtest/gtest.h>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <set>

using zelmar::testing::PostgresServer;

namespace {

QString BuildDir() {
    return QStringLiteral(ZELMAR_TEST_BUILD_DIR);
}

// A child with settings, data folder and outbox of its own, read line by line.
class Child {
public:
    Child(const QString& program, const QStringList& args, const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(program, args);
    }
    ~Child() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Reads what has come; returns the lines so far.
    const QStringList& Lines() {
        process.waitForReadyRead(0);
        while (process.canReadLine())
            lines << QString::fromUtf8(process.readLine()).trimmed();
        return lines;
    }
    QString Last(const QString& prefix) {
        const QStringList& all = Lines();
        for (qsizetype i = all.size() - 1; i >= 0; --i)
            if (all[i].startsWith(prefix))
                return all[i].mid(prefix.size());
        return {};
    }

    QProcess process;
    QStringList lines;
};

void Pump(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

int Logged(Child& c) {
    return static_cast<int>(c.Lines().filter(QRegularExpression(QStringLiteral("^logged "))).size());
}

QStringList Query(const QString& connection, const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(connection, false));
    QStringList values;
    if (q.exec(sql))
        while (q.next())
            values << q.value(0).toString();
    return values;
}

} // namespace

TEST(SharedLogTest, ThreePositionsThroughLostConnectionsKeepEveryQsoOnce) {
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.Running()) << server.Failure().toStdString();
    QString error;
    const QString database = server.CreateDatabase(&error);
    ASSERT_FALSE(database.isEmpty()) << error.toStdString();
    const QString url = server.SocketUrl(database);
    const QString admin = QStringLiteral("shared-admin");
    ASSERT_TRUE(qarvel::OpenLogDatabase(url, admin, &error)) << error.toStdString();
    // A table of the layout qarvel made before ids: the positions, starting
    // together, upgrade it once.
    QSqlQuery(QSqlDatabase::database(admin, false))
        .exec(QStringLiteral("CREATE TABLE Log (ID SERIAL PRIMARY KEY, QSODate VARCHAR(255), "
                             "QSOTime VARCHAR(255), CallSign VARCHAR(255) COLLATE \"C\", "
                             "Frequency VARCHAR(255), DigiBand VARCHAR(255), QSOMode "
                             "VARCHAR(255), QSOReportSent VARCHAR(255), QSOReportRecived "
                             "VARCHAR(255), DXCCPrefix VARCHAR(255), MainPrefix VARCHAR(255), "
                             "Continent VARCHAR(255))"));

    constexpr int kTotal = 1000;
    QTemporaryDir homes;
    const QString logger = BuildDir() + QStringLiteral("/position-logger");
    const auto start = [&](int p, int first) {
        return std::make_unique<Child>(
            logger,
            QStringList{url, QStringLiteral("RUN%1").arg(p), QString::number(first),
                        QStringLiteral("3"), QString::number(kTotal - 1 + 0),
                        QString::number(kTotal)},
            homes.filePath(QStringLiteral("p%1").arg(p)));
    };
    std::map<int, std::unique_ptr<Child>> positions;
    for (int p = 0; p < 3; ++p)
        positions[p] = start(p, p);
    Child board(BuildDir() + QStringLiteral("/qarvel"),
                {QStringLiteral("--db"), url, QStringLiteral("--follow")},
                homes.filePath(QStringLiteral("board")));

    const auto waitFor = [&](const std::function<bool()>& done, int seconds) {
        for (int i = 0; i < seconds * 20 && !done(); ++i)
            Pump(50);
        return done();
    };
    ASSERT_TRUE(waitFor([&] { return Logged(*positions[0]) >= 60; }, 30))
        << positions[0]->process.readAllStandardError().toStdString();

    // The server ends both of one position's connections.
    const QStringList pids = positions[1]->Last(QStringLiteral("pids ")).split(' ');
    ASSERT_EQ(pids.size(), 2);
    EXPECT_EQ(Query(admin, QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                          "pg_stat_activity WHERE pid IN (%1, %2)")
                               .arg(pids[0], pids[1])),
              QStringList({QStringLiteral("true"), QStringLiteral("true")}));

    ASSERT_TRUE(waitFor([&] { return Logged(*positions[0]) >= 120; }, 30));
    // The server is away for ten seconds in the middle of the stream; the
    // third position is killed meanwhile, with QSOs in its outbox.
    QSqlDatabase::database(admin, false).close();
    ASSERT_TRUE(server.Pause());
    const int before = Logged(*positions[2]);
    Pump(5000);
    const int offline = Logged(*positions[2]) - before;
    ::kill(static_cast<pid_t>(positions[2]->process.processId()), SIGKILL);
    positions[2]->process.waitForFinished(5000);
    const QString lastOfThird = positions[2]->Last(QStringLiteral("logged "));
    Pump(5000);
    ASSERT_TRUE(server.Resume());
    EXPECT_GT(offline, 50) << "the position stopped logging while offline";
    positions[2] = start(2, lastOfThird.toInt() + 3);
    ASSERT_TRUE(QSqlDatabase::database(admin, false).open());

    for (auto& [p, child] : positions)
        ASSERT_TRUE(waitFor([&] { return !child->Last(QStringLiteral("score ")).isEmpty(); }, 90))
            << "position " << p << ": " << child->process.readAllStandardError().toStdString();

    EXPECT_EQ(Query(admin, QStringLiteral("SELECT COUNT(*) FROM Log")),
              QStringList{QString::number(kTotal)});
    EXPECT_EQ(Query(admin, QStringLiteral("SELECT COUNT(DISTINCT QsoId) FROM Log")),
              QStringList{QString::number(kTotal)});
    EXPECT_EQ(Query(admin, QStringLiteral("SELECT COUNT(DISTINCT Position) FROM Log")),
              QStringList{QStringLiteral("3")});

    QProcess replay;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), homes.filePath(QStringLiteral("replay")));
    replay.setProcessEnvironment(env);
    replay.start(BuildDir() + QStringLiteral("/qarvel"),
                 {QStringLiteral("--score"), QStringLiteral("--db"), url});
    ASSERT_TRUE(replay.waitForFinished(60000));
    const QStringList replayLines =
        QString::fromUtf8(replay.readAllStandardOutput()).trimmed().split('\n');
    const QString full = replayLines.last().trimmed();
    ASSERT_TRUE(full.startsWith(QStringLiteral("Score: "))) << full.toStdString();
    for (auto& [p, child] : positions)
        EXPECT_EQ(child->Last(QStringLiteral("score ")), full)
            << "position " << p << ": " << child->process.readAllStandardError().toStdString();

    // The board follows every change: its last line is the full replay's,
    // and an edit anywhere is recounted too.
    EXPECT_TRUE(waitFor([&] { return board.Lines().value(board.Lines().size() - 1) == full; }, 10))
        << board.Lines().join('\n').right(400).toStdString();
    Query(admin, QStringLiteral("DELETE FROM Log WHERE Position = 'RUN0'"));
    EXPECT_TRUE(waitFor([&] { return board.Lines().last() != full; }, 5));
    ::kill(static_cast<pid_t>(board.process.processId()), SIGTERM);
    ASSERT_TRUE(board.process.waitForFinished(10000));
    EXPECT_EQ(board.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(board.process.exitCode(), 0);

    QSqlDatabase::database(admin, false).close();
    QSqlDatabase::removeDatabase(admin);
}

TEST(SharedLogTest, OldSqliteLogIsUpgradedInPlaceAndInsertsOncePerId) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.sqlite"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral(
            "CREATE TABLE Log (ID INTEGER PRIMARY KEY, QSODate VARCHAR(255), QSOTime "
            "VARCHAR(255), CallSign VARCHAR(255), Frequency VARCHAR(255), DigiBand VARCHAR(255), "
            "QSOMode VARCHAR(255), QSOReportSent VARCHAR(255), QSOReportRecived VARCHAR(255), "
            "DXCCPrefix VARCHAR(255), MainPrefix VARCHAR(255), Continent VARCHAR(255))")));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO Log (QSODate, QSOTime, CallSign, "
                                              "DigiBand) VALUES ('2024-03-09', '12:0%1:00', "
                                              "'DL%1ABC', '14')")
                                   .arg(i)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));

    const QString name = QStringLiteral("upgraded");
    QString error;
    ASSERT_TRUE(qarvel::LogBook::Open(path, name, QStringLiteral("Log"), &error))
        << error.toStdString();
    {
        qarvel::LogBook log(name, QStringLiteral("Log"));
        auto rows = log.ReadAll(&error);
        ASSERT_TRUE(rows);
        ASSERT_EQ(rows->size(), 3u);
        std::set<QString> ids;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ((*rows)[static_cast<std::size_t>(i)].call, QStringLiteral("DL%1ABC").arg(i));
            EXPECT_EQ((*rows)[static_cast<std::size_t>(i)].time,
                      QStringLiteral("12:0%1:00").arg(i));
            EXPECT_EQ((*rows)[static_cast<std::size_t>(i)].qsoId.size(), 36);
            ids.insert((*rows)[static_cast<std::size_t>(i)].qsoId);
        }
        EXPECT_EQ(ids.size(), 3u);
        EXPECT_EQ(Query(name, QStringLiteral("SELECT Version FROM QarvelSchema WHERE LogTable = "
                                             "'log'")),
                  QStringList{QString::number(qarvel::LogSchemaVersion())});

        qarvel::QsoRow again = (*rows)[1];
        again.call = QStringLiteral("K1ABC");
        EXPECT_TRUE(log.Append(again, &error)) << error.toStdString();
        qarvel::QsoRow fresh;
        fresh.date = QStringLiteral("2024-03-10");
        fresh.call = QStringLiteral("OK1XYZ");
        fresh.position = QStringLiteral("S&P");
        EXPECT_TRUE(log.Append(fresh, &error));
        EXPECT_TRUE(log.Append(fresh, &error)); // no id yet: each append is a QSO of its own
        rows = log.ReadAll(&error);
        ASSERT_TRUE(rows);
        ASSERT_EQ(rows->size(), 5u) << "a row with a known id was written again";
        EXPECT_EQ((*rows)[1].call, QStringLiteral("DL1ABC"));
        EXPECT_EQ(rows->back().position, QStringLiteral("S&P"));
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    // Opened again, the table is current and left as it is.
    ASSERT_TRUE(qarvel::LogBook::Open(path, name, QStringLiteral("Log"), &error));
    EXPECT_EQ(qarvel::LogBook(name, QStringLiteral("Log")).Count(), 5);
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}
