// What the window thread spends on one message: the macros expanded, and
// the message handed to cwdaemon (here one that is not there, the worst
// case: nothing may wait on it).
#include "keyer/CwDaemonKeyer.h"
#include "keyer/MessageMacros.h"

#include <QCoreApplication>
#include <QUdpSocket>
#include <benchmark/benchmark.h>

using namespace qarvel;

static void BM_ExpandMacros(benchmark::State& state) {
    const MacroContext context{QStringLiteral("DL1ABC"), QStringLiteral("YO3ZZZ"),
                               QStringLiteral("CW"), QStringLiteral("599 109"),
                               SerialStyle{true, SerialStyle::Cut::ZeroNine}};
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandMacros(QStringLiteral("{HISCALL} {EXCH}"), context));
}
BENCHMARK(BM_ExpandMacros);

static void BM_SendToAbsentCwdaemon(benchmark::State& state) {
    quint16 port = 0;
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        port = probe.localPort();
    }
    CwDaemonKeyer keyer(RigAddress{QStringLiteral("127.0.0.1"), port}, 60);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        keyer.Send({QStringLiteral("YO3ZZZ 5NN TTN"), {}});
        keyer.Stop();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SendToAbsentCwdaemon)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
