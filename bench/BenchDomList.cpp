// The replay of a 10 000-row log with and without the multipliers window
// open. The window follows the band of every replayed QSO; it must not make
// the replay much slower.
#include "reference/ContestMix.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"
#include "plugin/ModuleReferences.h"
#include "ui/ErrorReporter.h"
#include "ui/HostFolder.h"
#include "ui/TfmDomList.h"
#include "ui/TfmMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace zelmar;

constexpr std::size_t kRows = 10000;

// One statistics window over one log, shared by both benchmarks.
struct Setup {
    QTemporaryDir folder;
    std::unique_ptr<testing::TempSqliteLog> log;
    std::unique_ptr<TfmMainForm> window;
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

bool Prepare() {
    Setup& s = Shared();
    if (!s.folder.isValid() || !QDir(s.folder.path()).mkpath(QStringLiteral("Plugins")))
        return false;
    const QString table = s.folder.filePath(QStringLiteral("Plugins/romanian.dom"));
    if (!QFile::copy(QStringLiteral(ZELMAR_DATA_DIR "/romanian.dom"), table))
        return false;
    SetHostFolderForTesting(s.folder.path().toLocal8Bit().toStdString());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       s.folder.filePath(QStringLiteral("config")));
    SetErrorReporter([](const QString& text) {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        std::exit(1);
    });

    s.log = std::make_unique<testing::TempSqliteLog>();
    std::vector<testing::LogRow> rows;
    for (const qarvel::MixQSO& q : qarvel::GenerateContestMix(kRows))
        rows.push_back({q.call, q.band, q.mode, q.continent, q.exchange, q.prefix, q.mainPrefix});
    s.log->Insert(rows);

    s.window = std::make_unique<TfmMainForm>(
        testing::RecordBuilder().MyContinent("EU").MyPrefix("YO").Ptr());
    s.window->show(); // replays once
    QCoreApplication::processEvents();
    return s.window->Scorer() && s.window->Scorer()->QSOList().size() > kRows / 2;
}

void Replay(benchmark::State& state) {
    TfmMainForm& window = *Shared().window;
    double pendingSeconds = 0;
    for (auto _ : state) {
        window.RecalcStatisticExecute();
        // What the replay left to paint is part of its cost.
        const auto start = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        pendingSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["events after, ms"] =
        benchmark::Counter(pendingSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["QSOs"] = static_cast<double>(window.Scorer()->QSOList().size());
}

void BM_ReplayWithoutMultipliersWindow(benchmark::State& state) {
    if (MultipliersWindow())
        MultipliersWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Replay(state);
}

void BM_ReplayWithMultipliersWindow(benchmark::State& state) {
    Shared().window->btnOBL1Click();
    TfmDomList* list = MultipliersWindow();
    if (!list) {
        state.SkipWithError("no multipliers window");
        return;
    }
    QCoreApplication::processEvents();
    Replay(state);
    state.counters["worked counties"] =
        static_cast<double>(Shared().window->Scorer()->DomWorked().Count());
    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

double Fastest(const std::vector<double>& times) {
    return times.empty() ? 0 : *std::min_element(times.begin(), times.end());
}

// Repeated and interleaved (see main): on a shared machine the load drifts
// by a quarter within one run. Other work only ever adds time, so the
// fastest repetitions compare best; the medians are printed beside them.
BENCHMARK(BM_ReplayWithoutMultipliersWindow)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(9)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ReplayWithMultipliersWindow)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(9)
    ->ComputeStatistics("min", Fastest);

// Prints the usual table and then the ratio of the two replays, of their
// fastest repetitions and of their medians.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.aggregate_name == "min" || run.aggregate_name == "median"))
                times_[{run.run_name.function_name, run.aggregate_name}] = {
                    run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio() const {
        for (const char* aggregate : {"min", "median"}) {
            const auto without = times_.find({"BM_ReplayWithoutMultipliersWindow", aggregate});
            const auto with = times_.find({"BM_ReplayWithMultipliersWindow", aggregate});
            if (without == times_.end() || with == times_.end() || without->second.first <= 0 ||
                without->second.second <= 0)
                continue;
            std::printf("replay with window / without (%s): %.3f real time, %.3f CPU time\n",
                        aggregate, with->second.first / without->second.first,
                        with->second.second / without->second.second);
        }
    }

private:
    // (benchmark, aggregate) -> (real, CPU)
    std::map<std::pair<std::string, std::string>, std::pair<double, double>> times_;
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (!Prepare()) {
        std::fprintf(stderr, "cannot prepare the log\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    Shared().window.reset();
    Shared().log.reset();
    benchmark::Shutdown();
    return 0;
}
