// A weekend in one process: the host opens and releases the statistics
// window again and again, and a big log is scored and replayed. Nothing may
// pile up: no leak (LeakSanitizer checks at exit under the asan preset), no
// window left behind, no growth of the heap or of the process's memory.
#include "reference/ContestMix.h"
#include "ModuleHarness.h"

#include <QElapsedTimer>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <malloc.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
// From the sanitizer runtime (its header ships with clang, not with g++).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#define ZELMAR_UNDER_ASAN 1
#else
#define ZELMAR_UNDER_ASAN 0
#endif

using namespace zelmar;
using namespace zelmar::testing;

namespace {

long VmRSSKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Bytes the program holds on the heap right now. AddressSanitizer keeps
// freed blocks in quarantine, which the process's RSS includes but this
// figure does not.
long long HeapInUse() {
#if ZELMAR_UNDER_ASAN
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
#endif
}

RecordBuilder FromMix(const qarvel::MixQSO& q) {
    return RecordBuilder()
        .Call(q.call)
        .Band(q.band)
        .Mode(q.mode)
        .Continent(q.continent)
        .Exchange(q.exchange)
        .Prefix(q.prefix)
        .MainPrefix(q.mainPrefix);
}

std::vector<LogRow> AsRows(const std::vector<qarvel::MixQSO>& mix) {
    std::vector<LogRow> rows;
    rows.reserve(mix.size());
    for (const auto& q : mix)
        rows.push_back({q.call, q.band, q.mode, q.continent, q.exchange, q.prefix, q.mainPrefix});
    return rows;
}

std::size_t DistinctQSOs(const std::vector<qarvel::MixQSO>& mix) {
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    for (const auto& q : mix)
        seen.emplace(q.call, q.band, q.mode);
    return seen.size();
}

class LongRun : public ModuleHarness {};

TEST_F(LongRun, ThousandWindowCyclesLeaveNothingBehind) {
    constexpr int kCycles = 1000;
    constexpr int kWarmUp = 100;
    const auto logged = qarvel::GenerateContestMix(50, 7);
    log_->Insert(AsRows(logged));
    const auto mix = qarvel::GenerateContestMix(100, 11);
    std::vector<RecordBuilder> qsos;
    for (const auto& q : mix)
        qsos.push_back(FromMix(q));

    const RecordBuilder host = RecordBuilder().Caption("WEEKEND").MyPrefix("YO").MyContinent("EU");
    const QByteArray logBefore = FileBytes(log_->Path());
    const int topLevelsBefore = static_cast<int>(QApplication::topLevelWidgets().size());

    std::vector<std::int32_t> firstResults;
    long rssWarm = 0;
    long long heapWarm = 0;
    QElapsedTimer clock;
    clock.start();
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ASSERT_NE(Run(host), 0u) << "cycle " << cycle << ": " << BoxesSince(0).toStdString();
        std::vector<std::int32_t> results;
        results.reserve(qsos.size());
        for (const RecordBuilder& q : qsos)
            results.push_back(module_->AddQSO(q.Ptr()));
        // Every window starts from the same replayed log: the same QSOs give
        // the same answers in every cycle.
        if (cycle == 0)
            firstResults = results;
        else
            ASSERT_EQ(results, firstResults) << "cycle " << cycle;
        Click("RzBitBtn2");
        ASSERT_NE(MultipliersWindow(), nullptr) << "cycle " << cycle;
        module_->Release();
        DeleteDeferred();
        ASSERT_EQ(Window(), nullptr) << "cycle " << cycle;
        ASSERT_EQ(MultipliersWindow(), nullptr) << "cycle " << cycle;
        if (cycle + 1 == kWarmUp) {
            malloc_trim(0);
            rssWarm = VmRSSKiB();
            heapWarm = HeapInUse();
        }
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    malloc_trim(0);
    const long rssEnd = VmRSSKiB();
    const long long heapEnd = HeapInUse();

    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), topLevelsBefore);
    EXPECT_EQ(FileBytes(log_->Path()), logBefore) << "the module wrote to the host's log";
    // Points only: every QSO of the mix got a valid answer.
    for (std::int32_t r : firstResults)
        EXPECT_TRUE(r == -1 || r == 1 || r == 2 || r == 4 || r == 8) << r;

    const long long heapGrowth = heapEnd - heapWarm;
    const long rssGrowth = rssEnd - rssWarm;
    std::printf("long run: %d cycles in %.1f s; after %d cycles VmRSS %ld KiB, heap %lld B; "
                "at the end VmRSS %ld KiB (%+ld KiB), heap %lld B (%+lld B)\n",
                kCycles, seconds, kWarmUp, rssWarm, heapWarm, rssEnd, rssGrowth, heapEnd,
                heapGrowth);
    RecordProperty("vmrss_warm_kib", static_cast<int>(rssWarm));
    RecordProperty("vmrss_end_kib", static_cast<int>(rssEnd));
    RecordProperty("heap_growth_bytes", static_cast<int>(heapGrowth));

    // One statistics window with its lists, grid and multipliers window is
    // far above 1 KiB: 900 windows leaking anything of theirs would show.
    EXPECT_LT(heapGrowth, 900LL * 1024) << "heap grows with every window";
#if !ZELMAR_UNDER_ASAN
    // AddressSanitizer's quarantine fills the RSS on its own; the heap
    // figure above is what counts there.
    EXPECT_LT(rssGrowth, 8L * 1024) << "VmRSS grows with every window";
#endif
}

// 200 000 QSOs are scored through _AddQSO in the order they were logged, so
// every counted QSO lands somewhere inside QSOList, then the same QSOs are
// replayed as a log of 200 000 rows.
TEST_F(LongRun, ScoresAndReplaysTwoHundredThousandQSOs) {
    constexpr std::size_t kQSOs = 200000;
    const auto mix = qarvel::GenerateContestMix(kQSOs, 3);
    const std::size_t distinct = DistinctQSOs(mix);
    ASSERT_LT(distinct, kQSOs) << "the mix should hold the odd duplicate";

    ASSERT_NE(Run(), 0u);
    QElapsedTimer clock;
    clock.start();
    std::size_t counted = 0, dupes = 0;
    for (const auto& q : mix) {
        const std::int32_t r = module_->AddQSO(FromMix(q).Ptr());
        ASSERT_TRUE(r == -1 || r == 1 || r == 2 || r == 4 || r == 8) << r;
        (r > 0 ? counted : dupes) += 1;
    }
    const double scoreSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_EQ(counted, distinct);
    EXPECT_EQ(counted + dupes, kQSOs);
    EXPECT_EQ(TotalQSOs(), QString::number(distinct));

    // Every one of them, asked again, is a duplicate now.
    clock.restart();
    std::size_t notDupe = 0;
    for (const auto& q : mix)
        notDupe += module_->GetScore(FromMix(q).Ptr()) != -1;
    const double askSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_EQ(notDupe, 0u);
    const QString scoredLine = ScoreLine();
    const QString scoredPoints = Cell(2, 7);
    module_->Release();
    DeleteDeferred();

    // The same QSOs as a log of 200 000 rows, replayed by the next window.
    log_->Insert(AsRows(mix));
    const QByteArray logBefore = FileBytes(log_->Path());
    clock.restart();
    ASSERT_NE(Run(), 0u);
    const double replaySeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
    EXPECT_EQ(TotalQSOs(), QString::number(distinct));
    // The first of each set of duplicates counts, here as when scored.
    EXPECT_EQ(Cell(2, 7), scoredPoints);
    EXPECT_EQ(ScoreLine(), scoredLine);

    // "Recalc" does it all again with the same result.
    clock.restart();
    Click("RzBitBtn1");
    const double recalcSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_EQ(TotalQSOs(), QString::number(distinct));
    EXPECT_EQ(ScoreLine(), scoredLine);
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
    EXPECT_EQ(FileBytes(log_->Path()), logBefore) << "the module wrote to the host's log";
    std::printf("big log: %zu QSOs (%zu distinct) scored in %.1f s, asked again in %.1f s, "
                "replayed at _Run in %.1f s, by Recalc in %.1f s; %s\n",
                kQSOs, distinct, scoreSeconds, askSeconds, replaySeconds, recalcSeconds,
                scoredLine.toStdString().c_str());
}

// A weekend's log in the order the operator logs it.
TEST_F(LongRun, ScoresAContestLogInLoggingOrder) {
    constexpr std::size_t kQSOs = 10000;
    const auto mix = qarvel::GenerateContestMix(kQSOs, 5);
    ASSERT_NE(Run(), 0u);
    QElapsedTimer clock;
    clock.start();
    std::size_t counted = 0;
    for (const auto& q : mix)
        counted += module_->AddQSO(FromMix(q).Ptr()) > 0;
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_EQ(counted, DistinctQSOs(mix));
    EXPECT_EQ(TotalQSOs(), QString::number(counted));
    const QString line = ScoreLine();
    module_->Release();
    DeleteDeferred();

    log_->Insert(AsRows(mix));
    ASSERT_NE(Run(), 0u);
    EXPECT_EQ(TotalQSOs(), QString::number(counted));
    EXPECT_EQ(ScoreLine(), line);
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
    std::printf("contest log: %zu QSOs in logging order scored in %.2f s\n", kQSOs, seconds);
}

} // namespace
