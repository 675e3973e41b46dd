// The shared log under faults, end to end against a real PostgreSQL server:
// a server that freezes while a position logs, an import while another
// position corrects, a replay while another position inserts, a start with
// the server down, a row the server refuses.
#include "contest/ContestSession.h"
#include "contest/EntryLogger.h"
#include "contest/LiveScoring.h"
#include "logbook/LogBook.h"
#include "logbook/LogConnection.h"
#include "logbook/LogCorrections.h"
#include "logbook/SharedLog.h"
#include "logbook/SharedLogCopy.h"
#include "PostgresServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <QVariant>
#include <gtest/gtest.h>
#include <csignal>
#include <functional>
#include <memory>

using zelmar::testing::PostgresServer;
using namespace qarvel;

namespace {

QString BuildDir() {
    return QStringLiteral(ZELMAR_TEST_BUILD_DIR);
}

// Runs the event loop for `ms`.
void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitFor(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < seconds * 1000)
        Spin(20);
    return done();
}

QsoRow Qso(int n, const QString& position) {
    static const char* bands[] = {"3.5", "7", "14"};
    static const char* counties[] = {"AB", "BU", "CJ", "IS", "TM"};
    QsoRow q;
    const QDateTime at = QDateTime(QDate(2024, 3, 9), QTime(12, 0)).addSecs(n);
    q.date = at.date().toString(QStringLiteral("yyyy-MM-dd"));
    q.time = at.time().toString(QStringLiteral("HH:mm:ss"));
    const bool home = n % 3 == 0;
    q.call = home ? QStringLiteral("YO%1A%2").arg(n % 9 + 2).arg(QChar('A' + n % 17))
                  : QStringLiteral("DL%1Z%2").arg(n % 7 + 1).arg(QChar('A' + n % 23));
    q.band = QLatin1String(bands[n % 3]);
    q.mode = QStringLiteral("CW");
    q.sent = QStringLiteral("599 BU");
    q.received = home ? QStringLiteral("599 %1").arg(QLatin1String(counties[n % 5]))
                      : QStringLiteral("599 %1").arg(n % 40 + 1);
    q.dxccPrefix = home ? QStringLiteral("YO") : QStringLiteral("DL");
    q.mainPrefix = q.dxccPrefix;
    q.continent = QStringLiteral("EU");
    q.position = position;
    return q;
}

// One position in this process: its copy, the log on it, the worker.
struct Position {
    Position(const QString& url, const QString& connection, const QString& copyPath)
        : log(connection, QStringLiteral("Log")), copy(connection, QStringLiteral("Log")) {
        QString error;
        opened = SharedLogCopy::Open(copyPath, connection, QStringLiteral("Log"), &error);
        EXPECT_TRUE(opened) << error.toStdString();
        shared = std::make_unique<SharedLog>(url, QStringLiteral("Log"), copyPath);
        log.SetSharedCopy(&copy);
        log.SetWritten([this] { shared->Kick(); });
    }
    ~Position() {
        log.SetWritten({});
        shared.reset();
        QSqlDatabase::database(log.ConnectionName(), false).close();
        QSqlDatabase::removeDatabase(log.ConnectionName());
    }
    bool Settled() const { return shared->Settled(); }

    LogBook log;
    SharedLogCopy copy;
    std::unique_ptr<SharedLog> shared;
    bool opened = false;
};

// The server's own answer, on a connection of the test's.
class Admin {
public:
    explicit Admin(const QString& url) {
        QString error;
        EXPECT_TRUE(OpenLogDatabase(url, name_, &error)) << error.toStdString();
    }
    ~Admin() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QString Value(const QString& sql) {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (!db.isOpen())
            db.open();
        QSqlQuery q(db);
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("(failed)");
    }

private:
    QString name_ = QStringLiteral("faults-admin");
};

// `qarvel --score` on the server: its score line.
QString ScoreOfServer(const QString& url) {
    QTemporaryDir home;
    QProcess replay;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    replay.setProcessEnvironment(env);
    replay.start(BuildDir() + QStringLiteral("/qarvel"),
                 {QStringLiteral("--score"), QStringLiteral("--db"), url});
    if (!replay.waitForFinished(60000))
        return QStringLiteral("(no answer)");
    return QString::fromUtf8(replay.readAllStandardOutput()).trimmed().split('\n').last().trimmed();
}

class SharedLogFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PostgresServer& server = PostgresServer::Shared();
        if (!server.Running())
            GTEST_SKIP() << server.Failure().toStdString();
        QString error;
        const QString database = server.CreateDatabase(&error);
        ASSERT_FALSE(database.isEmpty()) << error.toStdString();
        url = server.SocketUrl(database);
        ASSERT_TRUE(folder.isValid());
    }
    QString CopyPath(const QString& name) const {
        return folder.filePath(name + QStringLiteral(".sqlite"));
    }

    QString url;
    QTemporaryDir folder;
};

// The module, counting position A's copy.
struct Scoring {
    explicit Scoring(Position& a) : scoring(*a.shared, session, a.log), logger(a.log, session) {
        QString error;
        loaded = session.Load(BuildDir() + QStringLiteral("/Plugins"), &error);
        EXPECT_TRUE(loaded) << error.toStdString();
        StationSettings station;
        station.call = QStringLiteral("YO3ZZZ");
        session.SetStation(station, QStringLiteral("Log"));
        QObject::connect(&scoring, &LiveScoring::FiguresChanged, [this] { quiet.restart(); });
        quiet.start();
    }
    ~Scoring() { session.Shutdown(); }
    // No figure changed for a second and a half.
    bool Quiet() const { return quiet.elapsed() > 1500 && !session.Replaying(); }

    ContestSession session;
    LiveScoring scoring;
    EntryLogger logger;
    QElapsedTimer quiet;
    bool loaded = false;
};

// The longest time the window thread's event loop did not turn.
class StallMeter : public QObject {
public:
    StallMeter() {
        tick_.setInterval(10);
        QObject::connect(&tick_, &QTimer::timeout, this, [this] {
            worst_ = std::max(worst_, since_.restart() - 10);
        });
        since_.start();
        tick_.start();
    }
    qint64 Worst() const { return worst_; }

private:
    QTimer tick_;
    QElapsedTimer since_;
    qint64 worst_ = 0;
};

} // namespace

TEST_F(SharedLogFaultsTest, ServerFrozenWhileLoggingNeverStallsAndDeliversEveryQsoOnce) {
    Position a(url, ContestSession::ConnectionName(), CopyPath(QStringLiteral("a")));
    Scoring module(a);
    ASSERT_TRUE(module.loaded);
    a.shared->Start();
    module.scoring.Start();
    ASSERT_TRUE(WaitFor([&] { return a.Settled(); }, 30));

    QElapsedTimer frozenFor;
    qint64 offlineAfter = -1;
    QObject::connect(a.shared.get(), &SharedLog::StateChanged, [&](bool online, int) {
        if (!online && frozenFor.isValid() && offlineAfter < 0)
            offlineAfter = frozenFor.elapsed();
    });
    StallMeter stalls;
    qint64 slowestEnter = 0;
    int n = 0;
    const auto enter = [&] {
        QElapsedTimer clock;
        clock.start();
        QString error;
        EXPECT_NE(module.logger.Log(Qso(n++, QStringLiteral("RUN1")), &error),
                  EntryLogger::Outcome::Failed)
            << error.toStdString();
        slowestEnter = std::max(slowestEnter, clock.elapsed());
    };
    enter();
    Spin(300);

    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.SignalAll(SIGSTOP));
    frozenFor.start();
    // Whatever happens below, the server runs again.
    const std::unique_ptr<int, std::function<void(int*)>> thaw(
        new int(0), [&server](int* p) {
            server.SignalAll(SIGCONT);
            delete p;
        });
    for (int i = 0; i < 10; ++i) {
        enter();
        Spin(2000);
    }
    ASSERT_TRUE(server.SignalAll(SIGCONT));

    EXPECT_LT(slowestEnter, 100) << "Enter waited on the server";
    EXPECT_LT(stalls.Worst(), 200) << "the window's event loop stalled";
    EXPECT_GE(offlineAfter, 0) << "the position never said offline";
    EXPECT_LE(offlineAfter, 5000);

    ASSERT_TRUE(WaitFor([&] { return a.Settled(); }, 60));
    ASSERT_TRUE(WaitFor([&] { return module.Quiet(); }, 30));
    Admin admin(url);
    EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log")), QStringLiteral("11"));
    EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(DISTINCT QsoId) FROM Log")),
              QStringLiteral("11"));
    const QString score = ScoreOfServer(url);
    EXPECT_TRUE(score.startsWith(QStringLiteral("Score: "))) << score.toStdString();
    EXPECT_EQ(module.session.ScoreLineText(), score);
}

TEST_F(SharedLogFaultsTest, ImportIsAllOrNothingWhileAnotherPositionCorrects) {
    Position a(url, QStringLiteral("pos-a"), CopyPath(QStringLiteral("a")));
    Position b(url, QStringLiteral("pos-b"), CopyPath(QStringLiteral("b")));
    a.shared->Start();
    b.shared->Start();
    QString error;
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(b.log.Append(Qso(100000 + i, QStringLiteral("RUN2")), &error))
            << error.toStdString();
    ASSERT_TRUE(WaitFor([&] { return a.Settled() && b.Settled() && a.log.Count() == 50; }, 30));

    std::vector<QsoRow> rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back(Qso(i, QStringLiteral("RUN1")));
    bool finished = false, ok = false;
    int imported = -1;
    QString reason;
    QObject::connect(a.shared.get(), &SharedLog::ImportFinished,
                     [&](bool done, int n, const QString& why) {
                         finished = true;
                         ok = done;
                         imported = n;
                         reason = why;
                     });
    a.shared->Import(rows);
    // B corrects each of its QSOs while the import runs.
    LogCorrections corrections(b.log);
    const auto entries = b.log.ReadEntries(&error);
    ASSERT_TRUE(entries && entries->size() == 50u);
    for (const LogEntry& e : *entries) {
        QsoRow edited = e.row;
        edited.received += QStringLiteral(" FIXED");
        ASSERT_TRUE(corrections.Edit(e.id, edited, &error)) << error.toStdString();
        Spin(10);
    }
    ASSERT_TRUE(WaitFor([&] { return finished; }, 120));
    ASSERT_TRUE(WaitFor([&] { return a.Settled() && b.Settled(); }, 30));

    Admin admin(url);
    const QString onServer = admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log WHERE Position = 'RUN1'"));
    if (ok) {
        EXPECT_EQ(imported, 2000);
        EXPECT_EQ(onServer, QStringLiteral("2000"));
    } else {
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_EQ(onServer, QStringLiteral("0")) << reason.toStdString();
    }
    EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log WHERE QSOReportRecived LIKE '% FIXED'")),
              QStringLiteral("50"));
    // Both copies end as the server's table.
    EXPECT_TRUE(WaitFor([&] { return a.log.Count() == 2050 && b.log.Count() == 2050; }, 30) || !ok)
        << a.log.Count() << " " << b.log.Count();
}

TEST_F(SharedLogFaultsTest, ReplayWhileAnotherPositionInsertsEndsWithTheServersScore) {
    Position a(url, ContestSession::ConnectionName(), CopyPath(QStringLiteral("a")));
    Scoring module(a);
    ASSERT_TRUE(module.loaded);
    a.shared->Start();
    module.scoring.Start();
    ASSERT_TRUE(WaitFor([&] { return a.Settled(); }, 30));

    QTemporaryDir home;
    QProcess b;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    b.setProcessEnvironment(env);
    b.start(BuildDir() + QStringLiteral("/position-logger"),
            {url, QStringLiteral("RUN2"), QStringLiteral("0"), QStringLiteral("1"),
             QStringLiteral("499"), QStringLiteral("500")});
    // F9 again and again while B's rows arrive.
    int replays = 0;
    while (b.state() != QProcess::NotRunning && replays < 600) {
        module.session.Recalc();
        ++replays;
        Spin(100);
    }
    ASSERT_TRUE(b.state() == QProcess::NotRunning || b.waitForFinished(60000));
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    EXPECT_GT(replays, 5);
    ASSERT_TRUE(WaitFor([&] { return a.log.Count() == 500 && module.Quiet(); }, 30));
    const QString score = ScoreOfServer(url);
    EXPECT_TRUE(score.startsWith(QStringLiteral("Score: "))) << score.toStdString();
    EXPECT_EQ(module.session.ScoreLineText(), score);
}

TEST_F(SharedLogFaultsTest, StartWithTheServerDownLogsAndDeliversOnceItIsUp) {
    PostgresServer& server = PostgresServer::Shared();
    ASSERT_TRUE(server.Pause());
    bool resumed = false;
    {
        Position a(url, QStringLiteral("pos-a"), CopyPath(QStringLiteral("a")));
        a.shared->Start();
        QString error;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(a.log.Append(Qso(i, QStringLiteral("RUN1")), &error)) << error.toStdString();
        EXPECT_LT(clock.elapsed(), 20 * 100);
        EXPECT_TRUE(WaitFor([&] { return !a.shared->Online() && a.shared->Waiting() == 20; }, 10))
            << a.shared->Waiting();
        EXPECT_EQ(a.log.Count(), 20);
        resumed = server.Resume();
        ASSERT_TRUE(resumed);
        ASSERT_TRUE(WaitFor([&] { return a.Settled(); }, 60));
        Admin admin(url);
        EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log")), QStringLiteral("20"));
        EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(DISTINCT QsoId) FROM Log")),
                  QStringLiteral("20"));
    }
    if (!resumed)
        server.Resume();
}

TEST_F(SharedLogFaultsTest, ARefusedRowIsKeptAndShownWhileTheOthersAreDelivered) {
    Position a(url, QStringLiteral("pos-a"), CopyPath(QStringLiteral("a")));
    a.shared->Start();
    ASSERT_TRUE(WaitFor([&] { return a.Settled(); }, 30));
    QString error;
    qint64 refusedId = 0;
    for (int i = 0; i < 5; ++i) {
        QsoRow q = Qso(i, QStringLiteral("RUN1"));
        // Longer than the server's column takes.
        if (i == 2)
            q.received = QStringLiteral("599 ") + QString(300, QLatin1Char('X'));
        qint64 id = 0;
        ASSERT_TRUE(a.log.Append(q, &error, &id)) << error.toStdString();
        if (i == 2)
            refusedId = id;
    }
    ASSERT_TRUE(WaitFor([&] { return a.Settled() && !a.shared->Refused().isEmpty(); }, 30));
    Admin admin(url);
    EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log")), QStringLiteral("4"));
    ASSERT_EQ(a.shared->Refused().size(), 1);
    EXPECT_TRUE(a.shared->Refused().front().contains(Qso(2, {}).call));
    EXPECT_TRUE(a.shared->Refused().front().contains(QStringLiteral("too long")))
        << a.shared->Refused().front().toStdString();
    EXPECT_EQ(a.log.Count(), 5) << "the refused QSO left this position";

    // Put right, it goes.
    auto row = a.log.Read(refusedId, &error);
    ASSERT_TRUE(row);
    row->received = QStringLiteral("599 AB");
    ASSERT_TRUE(a.log.Update(refusedId, *row, &error)) << error.toStdString();
    EXPECT_TRUE(WaitFor([&] { return a.Settled() && a.shared->Refused().isEmpty(); }, 30));
    EXPECT_EQ(admin.Value(QStringLiteral("SELECT COUNT(*) FROM Log")), QStringLiteral("5"));
}
