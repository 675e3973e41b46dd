// Importing a contest log: the same QSOs as a Cabrillo log and as an ADIF
// file, read and written into a fresh SQLite log, at 1 000 and 20 000 QSOs.
// A log from another logger must come in about as fast as its ADIF does.
#include "app/DemoLog.h"
#include "formats/AdifWriter.h"
#include "formats/CabrilloReader.h"
#include "formats/CabrilloWriter.h"
#include "formats/LogFileImporter.h"
#include "logbook/LogBook.h"
#include "reference/CountryFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

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

std::vector<QsoRow> Qsos(int count) {
    return MakeDemoLog(static_cast<std::size_t>(count),
                       QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC));
}

const QByteArray& CabrilloOf(int count) {
    static std::map<int, QByteArray> files;
    auto& file = files[count];
    if (file.isEmpty())
        file = WriteCabrillo(CabrilloHeader{"ZELMAR-CONTEST", "YO3ZZZ", 0, "bench", {}},
                             Qsos(count))
                   .toUtf8();
    return file;
}

const QByteArray& AdifOf(int count) {
    static std::map<int, QByteArray> files;
    auto& file = files[count];
    if (file.isEmpty())
        file = WriteAdif(Qsos(count), QStringLiteral("bench"));
    return file;
}

void BM_ReadCabrillo(benchmark::State& state) {
    const QByteArray& file = CabrilloOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCabrillo(file).qsos.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each round into a log of its own: an import appends.
void Import(benchmark::State& state, const QByteArray& file) {
    QTemporaryDir dir;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = QStringLiteral("bench-import-%1").arg(++round);
        QString error;
        if (!LogBook::Open(dir.filePath(name + QStringLiteral(".sqlite")), name,
                           QStringLiteral("Log"), &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        {
            LogBook log(name, QStringLiteral("Log"));
            state.ResumeTiming();
            const LogImportReport report = LogFileImporter(Countries()).Import(file, log);
            state.PauseTiming();
            if (!report.ok || report.imported != state.range(0))
                state.SkipWithError("the import did not bring every QSO");
        }
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ImportCabrillo(benchmark::State& state) {
    Import(state, CabrilloOf(static_cast<int>(state.range(0))));
}

void BM_ImportAdif(benchmark::State& state) {
    Import(state, AdifOf(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_ReadCabrillo)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCabrillo)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportAdif)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
