// The log view on a 20 000-row log when another position logs or corrects
// a QSO: the one row taken in by its id, against reading the whole log
// again (what every such change cost before), and a whole read that finds
// nothing changed (the resync after a return from offline).
#include "app/DemoLog.h"
#include "logbook/LogBook.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace qarvel;

const QString kConnection = QStringLiteral("bench-view");

LogBook& Log20k() {
    static QTemporaryDir dir;
    static LogBook* book = [] {
        QString error;
        LogBook::Open(dir.filePath(QStringLiteral("log.sqlite")), kConnection,
                      QStringLiteral("Log"), &error);
        auto* b = new LogBook(kConnection, QStringLiteral("Log"));
        b->AppendAll(MakeDemoLog(20000, QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC)), {},
                     &error);
        return b;
    }();
    return *book;
}

void BM_WholeLogReadIntoANewView(benchmark::State& state) {
    LogBook& book = Log20k();
    for (auto _ : state) {
        LogTableModel model(book);
        model.Reload();
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_WholeLogReadIntoANewView)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_OtherPositionsRowFollowed(benchmark::State& state) {
    LogBook& book = Log20k();
    LogTableModel model(book);
    model.Reload();
    LogViewFollower follower(book, model, nullptr);
    QsoRow row = MakeDemoLog(1, QDateTime(QDate(2024, 3, 10), QTime(12, 0), Qt::UTC)).front();
    row.position = QStringLiteral("RUN2");
    for (auto _ : state) {
        state.PauseTiming();
        row.qsoId.clear();
        qint64 id = 0;
        QString error;
        book.Append(row, &error, &id);
        const QString qsoId = book.Read(id, &error)->qsoId;
        state.ResumeTiming();
        follower.Apply(QStringLiteral("INSERT %1 RUN2").arg(qsoId));
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(BM_OtherPositionsRowFollowed)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_ResyncFindingNothingChanged(benchmark::State& state) {
    LogBook& book = Log20k();
    LogTableModel model(book);
    model.Reload();
    for (auto _ : state)
        model.Reload();
}
BENCHMARK(BM_ResyncFindingNothingChanged)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
