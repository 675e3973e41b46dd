// Finding stations at the operating position: a keystroke in the Call field
// until the check-partial pane is drawn, with 50 000 calls in MASTER.SCP and
// a log of 1 000 QSOs (the bound is 2 ms of the window thread), and the
// plain search alone.
#include "app/DemoLog.h"
#include "app/StationSettings.h"
#include "contest/ContestSession.h"
#include "finding/PartialCallMatcher.h"
#include "logbook/LogBook.h"
#include "reference/CountryFile.h"
#include "windows/CheckPartialPane.h"
#include "windows/MainWindow.h"
#include "windows/StationFinder.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace qarvel;

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// 50 000 calls in MASTER.SCP's form: 20 prefixes, a digit, two letters.
std::vector<std::string> Calls() {
    static const char* prefixes[] = {"DL", "OK", "G",  "F",  "I",  "SP", "HA", "OE", "S5", "YU",
                                     "LZ", "UA", "EA", "ON", "PA", "K",  "W",  "N",  "JA", "VE"};
    std::vector<std::string> calls;
    for (int i = 0; i < 50000; ++i) {
        const int k = i / 200;
        calls.push_back(std::string(prefixes[i % 20]) + char('0' + (i / 20) % 10) +
                        char('A' + k / 26) + char('A' + k % 26));
    }
    return calls;
}

QString MasterScp() {
    const QString path = Folder().filePath(QStringLiteral("MASTER.SCP"));
    if (!QFile::exists(path)) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        for (const std::string& c : Calls())
            f.write((c + '\n').c_str());
    }
    return path;
}

// What an operator types: the first three or four characters of a call.
std::vector<QString> Texts() {
    std::vector<QString> texts;
    for (const std::string& c : Calls())
        if (texts.size() < 500 && (texts.size() % 2 == 0 || c.size() > 4))
            texts.push_back(QString::fromStdString(c.substr(0, 3 + texts.size() % 2)));
    return texts;
}

void BM_PartialSearchOf50kCalls(benchmark::State& state) {
    PartialCallMatcher matcher;
    matcher.SetCalls(Calls());
    const char* typed[] = {"DL1", "S5?A", "OK1AB", "K9ZZ"};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(matcher.Find(typed[i++ % 4], StationFinder::kShownCalls));
}
BENCHMARK(BM_PartialSearchOf50kCalls)->Unit(benchmark::kMicrosecond);

StationSettings Station() {
    StationSettings s;
    s.call = QStringLiteral("YO3ZZZ");
    s.dxccPrefix = QStringLiteral("YO");
    s.continent = QStringLiteral("EU");
    s.logName = QStringLiteral("BENCH");
    return s;
}

struct Position {
    Position() {
        countries.Load(CountryFile::kDefaultPath);
        const QString log = Folder().filePath(QStringLiteral("log.sqlite"));
        QString error;
        LogBook::Open(log, ContestSession::ConnectionName(), QStringLiteral("Log"), &error);
        book = std::make_unique<LogBook>(ContestSession::ConnectionName(), QStringLiteral("Log"));
        if (book->Count() == 0)
            book->AppendAll(MakeDemoLog(1000, QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC)),
                            {}, &error);
        session = std::make_unique<ContestSession>();
        session->Load(QStringLiteral(ZELMAR_BENCH_PLUGINS), &error);
        session->SetStation(Station(), QStringLiteral("Log"));
        window = std::make_unique<MainWindow>(*session, &countries, *book, Station(),
                                              QStringLiteral("bench"));
        window->show();
        session->Start();
        window->Finder()->LoadMasterScp(MasterScp());
        QCoreApplication::processEvents();
        call = window->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
        band = window->findChild<QComboBox*>(QStringLiteral("EntryBand"));
        call->setFocus();
    }
    ~Position() {
        session->Shutdown();
        window.reset();
        session.reset();
        book.reset();
        QSqlDatabase::removeDatabase(ContestSession::ConnectionName());
    }
    // One key press into the Call field, then the pane painted.
    void Keystroke(QChar c) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key(c.unicode()), Qt::NoModifier, QString(c));
        QApplication::sendEvent(call, &press);
        window->Finder()->Pane()->repaint();
    }
    CountryFile countries;
    std::unique_ptr<LogBook> book;
    std::unique_ptr<ContestSession> session;
    std::unique_ptr<MainWindow> window;
    QLineEdit* call = nullptr;
    QComboBox* band = nullptr;
};

// `cold`: the band changes before each keystroke, so every shown call is
// asked about again (the module's _GetScore, the country, the exchange).
void KeystrokeToDrawnPane(benchmark::State& state, bool cold) {
    Position position;
    const std::vector<QString> texts = Texts();
    std::size_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString& text = texts[n++ % texts.size()];
        if (cold)
            position.band->setCurrentIndex((position.band->currentIndex() + 1) % 6);
        position.call->setText(text.chopped(1));
        state.ResumeTiming();
        position.Keystroke(text.back());
        if (position.window->Finder()->Pane()->Partial().empty())
            state.SkipWithError("nothing shown");
    }
    state.counters["calls"] = static_cast<double>(position.window->Finder()->Matcher().Size());
}

void BM_KeystrokeToDrawnPane(benchmark::State& state) {
    KeystrokeToDrawnPane(state, false);
}
BENCHMARK(BM_KeystrokeToDrawnPane)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_KeystrokeToDrawnPaneAllCallsJudgedAnew(benchmark::State& state) {
    KeystrokeToDrawnPane(state, true);
}
BENCHMARK(BM_KeystrokeToDrawnPaneAllCallsJudgedAnew)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1000);

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
