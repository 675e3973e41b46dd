// The rate window's cost per QSO: one QSO added to the rate meter and the
// figures read again, as the window does at every QSO, on a log of 1 000
// and of 20 000 QSOs. Both should cost the same.

#include "contest/RateMeter.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr std::int64_t kStart = 1709985600; // 2024-03-09 12:00 UTC
const char* const kBands[] = {"1.8", "3.5", "7", "14", "21", "28"};

// `count` QSOs about 90 s apart on the six bands, with the odd break.
qarvel::RateMeter Log(int count, std::int64_t* last) {
    qarvel::RateMeter meter;
    std::mt19937 random(7);
    std::int64_t t = kStart;
    for (int i = 0; i < count; ++i) {
        t += 30 + static_cast<std::int64_t>(random() % 120) + (random() % 500 == 0 ? 3600 : 0);
        meter.Add(t, kBands[random() % 6]);
    }
    *last = t;
    return meter;
}

// `lateBy`: seconds the new QSO is older than the newest, as one from
// another position that reaches this one a little late.
void AddAndRead(benchmark::State& state, std::int64_t lateBy) {
    std::int64_t last = 0;
    const qarvel::RateMeter prototype = Log(static_cast<int>(state.range(0)), &last);
    qarvel::RateMeter meter = prototype;
    std::int64_t t = last;
    int added = 0;
    for (auto _ : state) {
        // The log is put back to its size now and then, so it stays at the
        // size measured.
        if (++added == 512) {
            state.PauseTiming();
            meter = prototype;
            t = last;
            added = 0;
            state.ResumeTiming();
        }
        t += 90;
        meter.Add(t - lateBy, kBands[added % 6]);
        benchmark::DoNotOptimize(meter.At(t));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RateAddAndRead(benchmark::State& state) { AddAndRead(state, 0); }
void BM_RateAddLateAndRead(benchmark::State& state) { AddAndRead(state, 400); }

} // namespace

BENCHMARK(BM_RateAddAndRead)->Arg(1000)->Arg(20000);
BENCHMARK(BM_RateAddLateAndRead)->Arg(1000)->Arg(20000);

BENCHMARK_MAIN();
