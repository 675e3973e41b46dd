// qarvel's window on a shared PostgreSQL log of 20 000 QSOs, on a server of
// the benchmark's own: Enter until the entry line is ready again, online and
// with the server stopped; the start-up until the window is shown and the
// module has counted the log; and the longest turns of the window's event
// loop while the server is frozen (SIGSTOP) and the operator logs. Each
// reports p50, p99 and max (milliseconds) as counters.
#include "app/DemoLog.h"
#include "app/SharedLogSession.h"
#include "app/StationSettings.h"
#include "contest/ContestSession.h"
#include "logbook/LogBook.h"
#include "logbook/SharedLogAddress.h"
#include "logbook/SharedLogCopy.h"
#include "reference/CountryFile.h"
#include "windows/MainWindow.h"
#include "PostgresServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <csignal>
#include <functional>
#include <memory>
#include <vector>

using namespace qarvel;
using zelmar::testing::PostgresServer;

namespace {

const CountryFile& Countries() {
    static CountryFile countries;
    static const bool loaded = countries.Load(CountryFile::kDefaultPath);
    (void)loaded;
    return countries;
}

StationSettings Station() {
    StationSettings s;
    s.call = QStringLiteral("YO3ZZZ");
    s.dxccPrefix = QStringLiteral("YO");
    s.continent = QStringLiteral("EU");
    s.logName = QStringLiteral("BENCH");
    return s;
}

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

void Report(benchmark::State& state, std::vector<double> ms) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))];
    };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = ms.back();
    state.counters["samples"] = static_cast<double>(ms.size());
}

// The shared log of 20 000 QSOs, made once.
const QString& SharedLogUrl() {
    static QString url;
    if (!url.isEmpty())
        return url;
    PostgresServer& server = PostgresServer::Shared();
    QString error;
    url = server.SocketUrl(server.CreateDatabase(&error));
    const QString name = QStringLiteral("bench-seed");
    if (LogBook::Open(url, name, QStringLiteral("Log"), &error))
        LogBook(name, QStringLiteral("Log"))
            .AppendAll(MakeDemoLog(20000, QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC)), {},
                       &error);
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    return url;
}

// qarvel's window on the shared log, as WindowRun starts it.
struct Position {
    Position() {
        const QString& url = SharedLogUrl();
        QString error;
        SharedLogCopy::Open(SharedLogAddress(url, QStringLiteral("Log")).CopyPath(),
                            ContestSession::ConnectionName(), QStringLiteral("Log"), &error);
        book = std::make_unique<LogBook>(ContestSession::ConnectionName(), QStringLiteral("Log"));
        session = std::make_unique<ContestSession>();
        session->Load(QStringLiteral(ZELMAR_BENCH_PLUGINS), &error);
        session->SetStation(Station(), QStringLiteral("Log"));
        window = std::make_unique<MainWindow>(*session, &Countries(), *book, Station(),
                                              QStringLiteral("bench"));
        shared = std::make_unique<SharedLogSession>(url, QStringLiteral("Log"), *book, *session,
                                                    *window);
        shared->Start(&error);
        window->show();
        shared->Scoring().Start();
        QCoreApplication::processEvents();
    }
    ~Position() {
        session->Shutdown();
        shared.reset();
        window.reset();
        session.reset();
        book.reset();
        QSqlDatabase::database(ContestSession::ConnectionName(), false).close();
        QSqlDatabase::removeDatabase(ContestSession::ConnectionName());
    }
    bool Settled() { return shared->Shared().Settled() && !session->Replaying(); }

    std::unique_ptr<LogBook> book;
    std::unique_ptr<ContestSession> session;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<SharedLogSession> shared;
};

QString CallNumber(int n) {
    QString suffix;
    for (int i = 0; i < 3; ++i, n /= 26)
        suffix.prepend(QChar('A' + n % 26));
    return QStringLiteral("DL2") + suffix;
}

// One Enter in the entry line until it is ready for the next QSO.
double Enter(Position& position, int n) {
    auto* call = position.window->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
    auto* received = position.window->findChild<QLineEdit*>(QStringLiteral("EntryReceived"));
    call->setText(CallNumber(n));
    received->setText(QStringLiteral("599 001"));
    received->setFocus();
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(received, &press);
    QCoreApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void BM_SharedEnterToReady(benchmark::State& state) {
    const bool online = state.range(0) != 0;
    PostgresServer& server = PostgresServer::Shared();
    Position position;
    if (!WaitFor([&] { return position.Settled(); }, 120)) {
        state.SkipWithError("the position did not come online");
        return;
    }
    if (!online) {
        server.Pause();
        WaitFor([&] { return !position.shared->Shared().Online(); }, 30);
    }
    static int n = 0;
    std::vector<double> ms;
    for (auto _ : state) {
        ms.push_back(Enter(position, n++));
        state.PauseTiming();
        Spin(20);
        state.ResumeTiming();
    }
    if (!online)
        server.Resume();
    WaitFor([&] { return position.Settled(); }, 60);
    state.SetLabel(online ? "online" : "offline");
    Report(state, ms);
}
BENCHMARK(BM_SharedEnterToReady)->Arg(1)->Arg(0)->Iterations(200)->Unit(benchmark::kMillisecond);

void BM_SharedStartUp20k(benchmark::State& state) {
    // The copy is made once, then each start finds it on the disk.
    {
        Position first;
        WaitFor([&] { return first.Settled(); }, 120);
    }
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        Position position;
        ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        WaitFor([&] { return position.Settled(); }, 60);
        state.ResumeTiming();
    }
    Report(state, ms);
}
BENCHMARK(BM_SharedStartUp20k)->Iterations(10)->Unit(benchmark::kMillisecond);

// Every turn of the event loop, as a 10 ms timer sees it, while the server
// is frozen for 20 s and the operator logs 10 QSOs.
void BM_SharedStallsWhileFrozen(benchmark::State& state) {
    PostgresServer& server = PostgresServer::Shared();
    Position position;
    if (!WaitFor([&] { return position.Settled(); }, 120)) {
        state.SkipWithError("the position did not come online");
        return;
    }
    std::vector<double> gaps;
    static int n = 5000;
    for (auto _ : state) {
        QTimer tick;
        tick.setInterval(10);
        QElapsedTimer since;
        since.start();
        QObject::connect(&tick, &QTimer::timeout, [&] {
            gaps.push_back(static_cast<double>(since.nsecsElapsed()) / 1e6 - 10);
            since.restart();
        });
        tick.start();
        server.SignalAll(SIGSTOP);
        for (int i = 0; i < 10; ++i) {
            Enter(position, n++);
            Spin(2000);
        }
        server.SignalAll(SIGCONT);
        WaitFor([&] { return position.Settled(); }, 60);
    }
    Report(state, gaps);
}
BENCHMARK(BM_SharedStallsWhileFrozen)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    static QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
