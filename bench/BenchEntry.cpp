// qarvel at the operating position: the time from Enter until the entry
// line is ready for the next call, at two log sizes (the cost of a QSO
// should not grow with the log), and the start-up with a large log up to
// the window shown and the module's replay done, against the replay alone.
#include "app/DemoLog.h"
#include "app/StationSettings.h"
#include "contest/ContestSession.h"
#include "logbook/LogBook.h"
#include "reference/CountryFile.h"
#include "windows/MainWindow.h"
#include "windows/QsoEntryLine.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

using namespace qarvel;

const CountryFile& Countries() {
    static const CountryFile file = [] {
        CountryFile f;
        f.Load(CountryFile::kDefaultPath);
        return f;
    }();
    return file;
}

StationSettings Station() {
    StationSettings s;
    s.call = QStringLiteral("YO3ZZZ");
    s.dxccPrefix = QStringLiteral("YO");
    s.continent = QStringLiteral("EU");
    s.logName = QStringLiteral("BENCH");
    return s;
}

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// A log file of `rows` demo QSOs, written once per size.
QString LogOf(int rows) {
    const QString path = Folder().filePath(QStringLiteral("log-%1.sqlite").arg(rows));
    if (QFile::exists(path))
        return path;
    const QString name = QStringLiteral("bench-write");
    QString error;
    if (LogBook::Open(path, name, QStringLiteral("Log"), &error)) {
        LogBook(name, QStringLiteral("Log"))
            .AppendAll(MakeDemoLog(static_cast<std::size_t>(rows),
                                   QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC)),
                       {}, &error);
    }
    QSqlDatabase::removeDatabase(name);
    return path;
}

// The main window on `log` with the module started, as qarvel runs it.
struct Position {
    explicit Position(const QString& log) {
        QString error;
        LogBook::Open(log, ContestSession::ConnectionName(), QStringLiteral("Log"), &error);
        book = std::make_unique<LogBook>(ContestSession::ConnectionName(), QStringLiteral("Log"));
        session = std::make_unique<ContestSession>();
        session->Load(QStringLiteral(ZELMAR_BENCH_PLUGINS), &error);
        session->SetStation(Station(), QStringLiteral("Log"));
        window = std::make_unique<MainWindow>(*session, &Countries(), *book, Station(),
                                              QStringLiteral("bench"));
        window->show();
        session->Start();
        QCoreApplication::processEvents();
    }
    ~Position() {
        session->Shutdown();
        window.reset();
        session.reset();
        book.reset();
        QSqlDatabase::removeDatabase(ContestSession::ConnectionName());
    }
    std::unique_ptr<LogBook> book;
    std::unique_ptr<ContestSession> session;
    std::unique_ptr<MainWindow> window;
};

// A new call each time: DL1 and three letters from the counter.
QString CallNumber(int n) {
    QString suffix;
    for (int i = 0; i < 3; ++i, n /= 26)
        suffix.prepend(QChar('A' + n % 26));
    return QStringLiteral("DL1") + suffix;
}

void BM_EnterToReady(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Position position(LogOf(rows));
    auto* call = position.window->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
    auto* received = position.window->findChild<QLineEdit*>(QStringLiteral("EntryReceived"));
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        call->setText(CallNumber(n++));
        received->setText(QStringLiteral("599 001"));
        received->setFocus();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(received, &press);
        QCoreApplication::processEvents(); // the view's repaint of the new row
        if (!call->text().isEmpty())
            state.SkipWithError("the QSO was not logged");
    }
    state.counters["log"] = rows;
}
BENCHMARK(BM_EnterToReady)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_StartUpTo20kWindowShownAndReplayed(benchmark::State& state) {
    const QString log = LogOf(20000);
    for (auto _ : state)
        Position position(log);
}
BENCHMARK(BM_StartUpTo20kWindowShownAndReplayed)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReplayAloneOf20k(benchmark::State& state) {
    Position position(LogOf(20000));
    for (auto _ : state)
        position.session->Recalc();
}
BENCHMARK(BM_ReplayAloneOf20k)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("XDG_CONFIG_HOME", Folder().filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", Folder().filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
