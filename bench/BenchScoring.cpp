// The cost of one _AddQSO and one _GetScore with 1 000, 10 000 and 100 000
// QSOs already counted, on a realistic contest mix: as the host calls them
// (the loaded module, the statistics window refreshed) and as the core
// alone does the work (TContestScorer).
//
// The module finds its reference tables beside the executable of the
// process, so the program first copies itself into a temporary folder with a
// Plugins folder holding the module and the sample tables, and runs there.

#include "reference/ContestMix.h"
#include "LoadedModule.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "scoring/StatisticGrid.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

namespace fs = std::filesystem;

constexpr const char* kRelocatedMark = "ZELMAR_BENCH_RELOCATED";

// QSOs added per measured batch before the state is put back to the size
// under test, so that the list grows by at most 2 % while it is measured.
std::size_t BatchFor(std::size_t counted) {
    return std::max<std::size_t>(20, counted / 50);
}

RecordBuilder RecordOf(const qarvel::MixQSO& q) {
    return RecordBuilder()
        .Call(q.call)
        .Band(q.band)
        .Mode(q.mode)
        .Continent(q.continent)
        .Exchange(q.exchange)
        .Prefix(q.prefix)
        .MainPrefix(q.mainPrefix)
        .MyContinent("EU")
        .MyPrefix("DL");
}

// The log the host would hold: `counted` QSOs, then the ones a benchmark
// adds on top of them.
const std::vector<qarvel::MixQSO>& Mix() {
    static const std::vector<qarvel::MixQSO> mix = qarvel::GenerateContestMix(104000, 7);
    return mix;
}

std::vector<TPluginRecord> Records(std::size_t first, std::size_t count) {
    std::vector<TPluginRecord> out;
    out.reserve(count);
    for (std::size_t i = first; i < first + count; ++i)
        out.push_back(RecordOf(Mix()[i]).Get());
    return out;
}

// Questions the host asks while the operator types: half of them about
// QSOs already in the log, half about new ones.
std::vector<TPluginRecord> Questions(std::size_t counted) {
    std::vector<TPluginRecord> out;
    for (std::size_t i = 0; i < 512; ++i) {
        out.push_back(RecordOf(Mix()[(i * 7919) % counted]).Get());
        out.push_back(RecordOf(Mix()[counted + i]).Get());
    }
    return out;
}

class NullGrid : public TStatisticGrid {
public:
    void SetCell(int, int, const std::string& text) override { benchmark::DoNotOptimize(text); }
    void ClearFigures() override {}
    void SetScoreLine(const std::string& text) override { benchmark::DoNotOptimize(text); }
};

std::string BenchFolder() {
    return QCoreApplication::applicationDirPath().toLocal8Bit().toStdString() + "/";
}

// --- the core alone ------------------------------------------------------

// Counted once per size: the benchmark library calls a benchmark several
// times while it settles on an iteration count.
const TContestScorer& CountedScorer(std::size_t counted) {
    static std::map<std::size_t, std::unique_ptr<TContestScorer>> made;
    std::unique_ptr<TContestScorer>& scorer = made[counted];
    if (!scorer) {
        scorer = std::make_unique<TContestScorer>();
        scorer->Tables().Load(BenchFolder());
        for (std::size_t i = 0; i < counted; ++i) {
            CopyInRecord(&RecordOf(Mix()[i]).Get());
            if (scorer->ScoreQSO(true) > 0)
                scorer->SortQSOList();
        }
    }
    return *scorer;
}

void BM_CoreAddQSO(benchmark::State& state, std::size_t counted) {
    const TContestScorer& start = CountedScorer(counted);
    const std::vector<TPluginRecord> batch = Records(counted, BatchFor(counted));
    TContestScorer scorer = start;
    NullGrid grid;
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == batch.size()) {
            state.PauseTiming();
            scorer = start;
            next = 0;
            state.ResumeTiming();
        }
        // As _AddQSO does it.
        CopyInRecord(&batch[next++]);
        const std::int32_t result = scorer.ScoreQSO(true);
        if (result > 0)
            scorer.SortQSOList();
        scorer.ShowStatistic(grid);
        benchmark::DoNotOptimize(result);
    }
}

void BM_CoreGetScore(benchmark::State& state, std::size_t counted) {
    TContestScorer scorer = CountedScorer(counted);
    const std::vector<TPluginRecord> questions = Questions(counted);
    std::size_t next = 0;
    for (auto _ : state) {
        CopyInRecord(&questions[next]);
        next = (next + 1) % questions.size();
        benchmark::DoNotOptimize(scorer.ScoreQSO(false));
    }
}

// --- as the host calls it ------------------------------------------------

// The module with its statistics window open on a log of `counted` QSOs:
// opening it replays the log, and the first counted QSO after a replay sorts
// the list in full, so one is added before anything is measured.
class OpenModule {
public:
    explicit OpenModule(std::size_t counted) : counted_(counted) {
        std::vector<LogRow> rows;
        rows.reserve(counted);
        for (std::size_t i = 0; i < counted; ++i) {
            const qarvel::MixQSO& q = Mix()[i];
            rows.push_back(
                {q.call, q.band, q.mode, q.continent, q.exchange, q.prefix, q.mainPrefix});
        }
        log_.Insert(rows);
        module_ = std::make_unique<LoadedModule>(BenchFolder() + "Plugins/ZelmarContest.so");
        Open();
    }
    ~OpenModule() { Close(); }

    // Back to the log as it was: the window closed and opened again.
    void Reopen() {
        Close();
        Open();
    }
    LoadedModule& Module() { return *module_; }
    std::size_t Counted() const { return counted_; }

private:
    void Open() {
        const RecordBuilder host = RecordBuilder().MyContinent("EU").MyPrefix("DL");
        if (module_->Run(0, host.Ptr()) == 0)
            throw std::runtime_error("_Run gave no window");
        const RecordBuilder sorting = RecordBuilder().Call("ZZ9ZZZ/BENCH").Band("14").Mode("CW");
        module_->AddQSO(sorting.Ptr());
    }
    void Close() {
        module_->Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::size_t counted_;
    TempSqliteLog log_;
    std::unique_ptr<LoadedModule> module_;
};

// One open module at a time, kept while benchmarks of its size run and put
// back to the plain log before each; it must go before the application.
std::unique_ptr<OpenModule>& OpenedModule() {
    static std::unique_ptr<OpenModule> open;
    return open;
}

OpenModule& ModuleWith(std::size_t counted) {
    std::unique_ptr<OpenModule>& open = OpenedModule();
    if (open && open->Counted() == counted) {
        open->Reopen();
    } else {
        open.reset();
        open = std::make_unique<OpenModule>(counted);
    }
    return *open;
}

void BM_ModuleAddQSO(benchmark::State& state, std::size_t counted) {
    OpenModule& open = ModuleWith(counted);
    const std::vector<TPluginRecord> batch = Records(counted, BatchFor(counted));
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == batch.size()) {
            state.PauseTiming();
            open.Reopen();
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(open.Module().AddQSO(&batch[next++]));
    }
}

void BM_ModuleGetScore(benchmark::State& state, std::size_t counted) {
    OpenModule& open = ModuleWith(counted);
    const std::vector<TPluginRecord> questions = Questions(counted);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(open.Module().GetScore(&questions[next]));
        next = (next + 1) % questions.size();
    }
}

void RegisterBenchmarks() {
    for (const std::size_t counted : {1000, 10000, 100000}) {
        const std::string n = std::to_string(counted);
        benchmark::RegisterBenchmark(("BM_CoreAddQSO/" + n).c_str(), BM_CoreAddQSO, counted)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_CoreGetScore/" + n).c_str(), BM_CoreGetScore, counted)
            ->Unit(benchmark::kMicrosecond);
        // A fixed number of batches: putting the log back costs a replay.
        benchmark::RegisterBenchmark(("BM_ModuleAddQSO/" + n).c_str(), BM_ModuleAddQSO, counted)
            ->Iterations(static_cast<benchmark::IterationCount>((counted >= 100000  ? 2
                                                                 : counted >= 10000 ? 4
                                                                                    : 20) *
                                                                BatchFor(counted)))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_ModuleGetScore/" + n).c_str(), BM_ModuleGetScore, counted)
            ->Unit(benchmark::kMicrosecond);
    }
}

void CopyInto(const fs::path& from, const fs::path& folder) {
    if (fs::exists(from))
        fs::copy_file(from, folder / from.filename(), fs::copy_options::overwrite_existing);
}

// Runs a copy of this program from a temporary folder that holds
// Plugins/ZelmarContest.so and the sample tables; returns its exit status.
int RunRelocated(char** argv) {
    char pattern[] = "/tmp/zelmar-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    const fs::path plugins = folder / "Plugins";
    const fs::path self = folder / "BenchScoring";
    fs::create_directory(plugins);
    fs::copy_file(fs::read_symlink("/proc/self/exe"), self);
    fs::create_symlink(ZELMAR_BENCH_MODULE, plugins / "ZelmarContest.so");
    CopyInto(fs::path(ZELMAR_SOURCE_DIR) / "data" / "romanian.dom", plugins);
    CopyInto(fs::path(ZELMAR_SOURCE_DIR) / "data" / "zelmar.txt", plugins);

    setenv(kRelocatedMark, "1", 1);
    int status = 1;
    const pid_t child = fork();
    if (child == 0) {
        execv(self.c_str(), argv);
        std::perror("execv");
        _exit(127);
    }
    if (child > 0 && waitpid(child, &status, 0) == child)
        status = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    std::error_code ec;
    fs::remove_all(folder, ec);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv(kRelocatedMark))
        return RunRelocated(argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    OpenedModule().reset();
    benchmark::Shutdown();
    return 0;
}
