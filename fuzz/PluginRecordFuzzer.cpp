// A whole host record of arbitrary bytes through _GetScore, _AddQSO and
// _GrabNumber on a live statistics window, exactly as the host calls them.
// The window is created once by _Run on an SQLite log; the input itself
// decides now and then to press "Recalc" (which replays the log under the
// record's TableName, whatever its bytes), to open or close the multipliers
// window and to paint both windows.
#include "plugin/Exports.h"
#include "plugin/PluginRecord.h"
#include "plugin/ShortText.h"
#include "ui/ErrorReporter.h"
#include "ui/HostFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace zelmar;

namespace {

const QString kConnection = QStringLiteral("qarvel-log-1");

struct Host {
    QApplication* app = nullptr;
    QTemporaryDir* folder = nullptr;
    QPointer<QWidget> window;
    QString logDigest;
    int errors = 0;
    QString lastError;
};
Host g;

[[noreturn]] void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "plugin record: %s %s\n", what, detail.toLocal8Bit().constData());
    __builtin_trap();
}

void Exec(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql))
        Fail("log setup failed", q.lastError().text());
}

// Everything the module could have changed in the host's log: the tables
// and every row.
QString LogDigest() {
    QSqlQuery q(QSqlDatabase::database(kConnection, false));
    QString digest;
    if (!q.exec(QStringLiteral("SELECT type || name || sql FROM sqlite_master ORDER BY name")))
        Fail("cannot read the schema", q.lastError().text());
    while (q.next())
        digest += q.value(0).toString() + QLatin1Char('\n');
    if (!q.exec(QStringLiteral("SELECT ID, CallSign, DigiBand, QSOMode, Continent, "
                               "QSOReportRecived, DXCCPrefix, MainPrefix FROM Log ORDER BY ID")))
        Fail("cannot read the log", q.lastError().text());
    while (q.next())
        for (int i = 0; i < 8; ++i)
            digest += q.value(i).toString() + QLatin1Char('|');
    return digest;
}

void CreateLog() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(g.folder->filePath(QStringLiteral("log.sqlite")));
    if (!db.open())
        Fail("cannot open the log", db.lastError().text());
    QSqlQuery q(db);
    Exec(q, QStringLiteral("CREATE TABLE Log (ID INTEGER PRIMARY KEY, CallSign VARCHAR(255), "
                           "DigiBand VARCHAR(255), QSOMode VARCHAR(255), Continent VARCHAR(255), "
                           "QSOReportRecived VARCHAR(255), DXCCPrefix VARCHAR(255), "
                           "MainPrefix VARCHAR(255))"));
    Exec(q, QStringLiteral("CREATE TABLE Other (ID INTEGER PRIMARY KEY, Note VARCHAR(255))"));
    Exec(q, QStringLiteral(
                "INSERT INTO Log (CallSign, DigiBand, QSOMode, Continent, QSOReportRecived, "
                "DXCCPrefix, MainPrefix) VALUES "
                "('YO5ZAA', '14', 'CW', 'eu', '599AB', 'YO', 'YO5'), "
                "('DL1ABC', '7', 'SSB', 'EU', '59001', 'DL', 'DL'), "
                "('K1ABC', '21', 'CW', 'NA', '599005', 'K', 'K1'), "
                "('YO5ZAA', '14', 'CW', 'EU', '599AB', 'YO', 'YO5'), "
                "(NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
}

void CopyTable(const char* name) {
    const QString from = QStringLiteral(ZELMAR_SOURCE_DIR "/data/") + QLatin1String(name);
    const QString to = g.folder->filePath(QStringLiteral("Plugins/")) + QLatin1String(name);
    if (!QFile::copy(from, to))
        Fail("cannot copy the reference table", from);
}

TPluginRecord HostRecord() {
    TPluginRecord r;
    std::memset(&r, 0, sizeof r);
    r.Connection = 1;
    WriteShortText(r.TableName, "Log");
    WriteShortText(r.CaptionName, "FUZZ");
    WriteShortText(r.MyContinent, "EU");
    WriteShortText(r.MyDXCCPrefix, "YO");
    return r;
}

void Click(const char* objectName) {
    if (auto* button = g.window->findChild<QPushButton*>(QLatin1String(objectName)))
        button->click();
    else
        Fail("button not found", QLatin1String(objectName));
}

QWidget* MultipliersWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("fmDomList") && w->isVisible())
            return w;
    return nullptr;
}

// Trim (codes 0 to 32) and upper-case (a to z only), then the home prefix.
bool IsHomeStation(const std::string& prefix) {
    std::size_t b = 0, e = prefix.size();
    while (b < e && static_cast<unsigned char>(prefix[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(prefix[e - 1]) <= 32)
        --e;
    return e - b == 2 && (prefix[b] == 'Y' || prefix[b] == 'y') &&
           (prefix[b + 1] == 'O' || prefix[b + 1] == 'o');
}

bool IsPoints(std::int32_t n) {
    return n == -1 || n == 1 || n == 2 || n == 4 || n == 8;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g.app = new QApplication(*argc, *argv);
    g.folder = new QTemporaryDir();
    if (!g.folder->isValid() || !QDir(g.folder->path()).mkpath(QStringLiteral("Plugins")))
        Fail("no temporary folder");
    CopyTable("romanian.dom");
    CopyTable("zelmar.txt");
    SetHostFolderForTesting(g.folder->path().toLocal8Bit().toStdString());
    SetErrorReporter([](const QString& text) {
        ++g.errors;
        g.lastError = text;
    });
    CreateLog();
    g.logDigest = LogDigest();

    const TPluginRecord host = HostRecord();
    const std::uintptr_t handle = _Run(0, &host);
    if (!handle || g.errors)
        Fail("the window did not open", g.lastError);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("fmMainForm"))
            g.window = w;
    if (!g.window)
        Fail("no fmMainForm");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TPluginRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    // Bytes 4 to 11 belong to the host and are never read by the module:
    // the fuzzer's switches live there.
    const std::uint8_t* controls = reinterpret_cast<const std::uint8_t*>(&record) + 4;

    const int errorsBefore = g.errors;
    const std::int32_t would = _GetScore(&record);
    if (!IsPoints(would))
        Fail("_GetScore gave no points", QString::number(would));
    const std::int32_t got = _AddQSO(&record);
    if (got != would)
        Fail("_AddQSO differs from _GetScore", QStringLiteral("%1 vs %2").arg(got).arg(would));
    if (_GetScore(&record) != -1)
        Fail("a recorded QSO is not a duplicate");

    unsigned char receiving[256];
    std::memset(receiving, 0xEE, sizeof receiving);
    _GrabNumber(&record, receiving);
    if (receiving[0] != 0 && !IsHomeStation(ReadShortText(record.DXCCPrefix)))
        Fail("an exchange for a foreign station");
    if (g.errors != errorsBefore)
        Fail("scoring reported an error", g.lastError);

    if ((controls[0] & 7) == 0) {
        // Replays the log under this record's TableName: a name that is no
        // table is refused, but nothing may ever change the log.
        Click("RzBitBtn1");
        if (ReadShortText(record.TableName) == "Log" && g.errors != errorsBefore)
            Fail("the replay of the real log failed", g.lastError);
        if (LogDigest() != g.logDigest)
            Fail("the host's log was changed",
                 QString::fromLocal8Bit(record.TableName.chars, record.TableName.length));
    }
    if ((controls[1] & 7) == 0) {
        if (QWidget* list = MultipliersWindow())
            list->close();
        else
            Click("RzBitBtn2");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if ((controls[2] & 15) == 0) {
        g.window->grab();
        if (QWidget* list = MultipliersWindow())
            list->grab();
    }
    if (!g.window || !g.window->isVisible())
        Fail("the statistics window went away");
    return 0;
}
