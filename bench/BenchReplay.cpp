// The replay is bounded by the database: reading the rows is the physical
// limit. In one run this times (a) running the statement and reading the
// seven columns of every row as text through the log query, and (b) the whole
// RecalcFromLog over the same log, and prints b / a for each log size.
#include "reference/ContestMix.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"
#include "plugin/CurrentRecord.h"
#include "scoring/ContestScorer.h"
#include "ui/SqlLogQuery.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace zelmar;

constexpr std::size_t kSizes[] = {10000, 100000};
constexpr const char* kColumns[] = {"QSOReportRecived", "DXCCPrefix", "MainPrefix", "CallSign",
                                    "DigiBand",         "QSOMode",    "Continent"};

class NoGrid : public TStatisticGrid {
public:
    void SetCell(int, int, const std::string&) override {}
    void ClearFigures() override {}
    void SetScoreLine(const std::string&) override {}
};

class NoPump : public TMessagePump {
public:
    void ProcessMessages() override {}
};

std::vector<std::string> CountyTable() {
    std::vector<std::string> lines;
    QFile file(QStringLiteral(ZELMAR_DATA_DIR "/romanian.dom"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        while (!in.atEnd())
            lines.push_back(in.readLine().toStdString());
    }
    return lines;
}

// Connection n holds the log of kSizes[n - 1] rows.
int ConnectionFor(std::size_t rows) {
    return static_cast<int>(std::find(std::begin(kSizes), std::end(kSizes), rows) -
                            std::begin(kSizes)) +
           1;
}

// (a): the statement run and the seven columns of every row read as text.
std::size_t ReadColumns(TSqlLogQuery& query) {
    std::size_t read = 0;
    query.Close();
    query.SetSQL("Select * from Log order by CallSign");
    query.Open();
    while (!query.Eof()) {
        for (const char* column : kColumns) {
            std::string text = query.FieldAsText(column);
            benchmark::DoNotOptimize(text);
        }
        ++read;
        query.Next();
    }
    query.Close();
    return read;
}

struct Elapsed {
    double wall = 0; // ms
    double cpu = 0;  // ms of this thread
};

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

template <typename F> Elapsed Timed(F&& work) {
    const auto wall = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuMs();
    work();
    return {
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count(),
        ThreadCpuMs() - cpu};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Every iteration times (a) and (b) back to back, in alternating order, so
// that both meet the same machine; the medians of the iterations are
// reported. The thread's CPU time is the measure that other work on a shared
// machine disturbs least.
void ReplayAgainstRead(benchmark::State& state, std::size_t rows) {
    CopyInRecord(testing::RecordBuilder().MyContinent("EU").MyPrefix("YO").Band("14").Ptr());
    TContestScorer scorer;
    scorer.Tables().SetDomTable(CountyTable());
    TSqlLogQuery query;
    query.Attach(ConnectionFor(rows));
    NoGrid grid;
    NoPump pump;

    std::vector<double> readCpu, recalcCpu, ratioCpu, ratioWall;
    std::size_t read = 0;
    bool readFirst = true;
    for (auto _ : state) {
        Elapsed a, b;
        const auto readPass = [&] { a = Timed([&] { read = ReadColumns(query); }); };
        const auto recalcPass = [&] {
            b = Timed([&] { scorer.RecalcFromLog(query, grid, pump); });
        };
        if (readFirst) {
            readPass();
            recalcPass();
        } else {
            recalcPass();
            readPass();
        }
        readFirst = !readFirst;
        state.SetIterationTime((a.wall + b.wall) / 1e3);
        readCpu.push_back(a.cpu);
        recalcCpu.push_back(b.cpu);
        ratioCpu.push_back(b.cpu / a.cpu);
        ratioWall.push_back(b.wall / a.wall);
    }
    if (read != rows || scorer.Totals().QSOs == 0 || scorer.DomWorked().Count() == 0) {
        state.SkipWithError("the log was not read or nothing was counted");
        return;
    }
    state.counters["QSOs"] = scorer.Totals().QSOs;
    state.counters["a_ms"] = Median(readCpu);
    state.counters["b_ms"] = Median(recalcCpu);
    state.counters["b/a"] = Median(ratioCpu);
    state.counters["b/a_wall"] = Median(ratioWall);
}

// Prints the ratio of every size once the table is out.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            lines_.push_back(
                run.run_name.function_name + ": (a) read " + Format(run.counters.at("a_ms")) +
                " ms, (b) RecalcFromLog " + Format(run.counters.at("b_ms")) +
                " ms of CPU; b / a = " + Format(run.counters.at("b/a"), "%.3f") + " (wall clock " +
                Format(run.counters.at("b/a_wall"), "%.3f") + "); target at most 1.3");
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const std::string& line : lines_)
            std::printf("%s\n", line.c_str());
    }
    bool Complete() const { return lines_.size() == std::size(kSizes); }

private:
    static std::string Format(double v, const char* format = "%.1f") {
        char text[32];
        std::snprintf(text, sizeof text, format, v);
        return text;
    }
    std::vector<std::string> lines_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    std::vector<std::unique_ptr<testing::TempSqliteLog>> logs;
    for (std::size_t rows : kSizes) {
        auto log = std::make_unique<testing::TempSqliteLog>(ConnectionFor(rows));
        std::vector<testing::LogRow> table;
        for (const qarvel::MixQSO& q : qarvel::GenerateContestMix(rows))
            table.push_back(
                {q.call, q.band, q.mode, q.continent, q.exchange, q.prefix, q.mainPrefix});
        log->Insert(table);
        logs.push_back(std::move(log));

        benchmark::RegisterBenchmark(("ReplayAgainstRead/" + std::to_string(rows)).c_str(),
                                     ReplayAgainstRead, rows)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(rows <= 10000 ? 21 : 7);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const int status = reporter.Complete() ? 0 : 1;
    benchmark::Shutdown();
    return status;
}
