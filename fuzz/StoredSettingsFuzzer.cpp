// The stored window texts of the settings file as arbitrary text: "NormPos",
// "MinMaxPos", "ShowCmd", "Flags", "PixelsPerInch", "FormVersion",
// "Visible" and CurrentBand, for both windows' sections, or the whole file
// as arbitrary bytes. Every input restores them into a plain window through
// TFormStorage (cheap, resizable, placement and state); one input in four
// also opens the real windows on them, as the host's _Run and the
// "Multipliers" button do, and releases them, which saves the file again.
// The windows must open, count and save whatever the file says; a file the
// store cannot parse is kept aside and a fresh one started.
#include "plugin/Exports.h"
#include "plugin/PluginRecord.h"
#include "plugin/ShortText.h"
#include "ui/ErrorReporter.h"
#include "ui/HostFolder.h"
#include "ui/SettingsSection.h"
#include "ui/TFormStorage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

using namespace zelmar;

namespace {

struct Host {
    QApplication* app = nullptr;
    QTemporaryDir* folder = nullptr;
    QString settingsFile;
    QString screenSize;
    int errors = 0;
};
Host g;

[[noreturn]] void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "stored settings: %s %s\n", what, detail.toLocal8Bit().constData());
    __builtin_trap();
}

const char* const kEntries[] = {"FormVersion", "Flags",   "ShowCmd", "PixelsPerInch",
                                "MinMaxPos",   "NormPos", "Visible"};
const char* const kSections[] = {"TfmMainForm", "TfmDomList"};

TPluginRecord Record(const char* call) {
    TPluginRecord r;
    std::memset(&r, 0, sizeof r);
    r.Connection = 1;
    WriteShortText(r.TableName, "Log");
    WriteShortText(r.CaptionName, "FUZZ");
    WriteShortText(r.MyContinent, "EU");
    WriteShortText(r.MyDXCCPrefix, "DL");
    WriteShortText(r.CallSign, call);
    WriteShortText(r.DigiBand, "14");
    WriteShortText(r.QSOMode, "CW");
    WriteShortText(r.Continent, "EU");
    WriteShortText(r.DXCCPrefix, "F");
    return r;
}

// Numbers that tend to break placement arithmetic, as whole words.
std::string Number(FuzzedDataProvider& in) {
    static const char* const kEdges[] = {"0",          "-1",         "2147483647",  "-2147483648",
                                         "2147483648", "1073741824", "-1073741824", "99999999999",
                                         "+5",         " 7",         "0x10",        ""};
    if (in.ConsumeBool())
        return kEdges[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kEdges) - 1)];
    return std::to_string(in.ConsumeIntegral<std::int32_t>());
}

// An entry's text: arbitrary, or up to four numbers with separators.
std::string Text(FuzzedDataProvider& in) {
    if (in.ConsumeBool())
        return in.ConsumeRandomLengthString(64);
    std::string out;
    const int words = in.ConsumeIntegralInRange(0, 5);
    static const char* const kSeparators[] = {",", ", ", " ", "\t", ",,", ";"};
    for (int i = 0; i < words; ++i) {
        if (i)
            out += kSeparators[in.ConsumeIntegralInRange<std::size_t>(0, 5)];
        out += Number(in);
    }
    return out;
}

void WriteStructured(FuzzedDataProvider& in) {
    QFile::remove(g.settingsFile);
    QSettings file(g.settingsFile, QSettings::IniFormat);
    for (const char* section : kSections) {
        file.beginGroup(QLatin1String(section));
        for (const char* entry : kEntries) {
            const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
            if (how & 1)
                file.setValue(QLatin1String(entry), QString::fromLocal8Bit(Text(in)));
            if (how & 2)
                file.setValue(QLatin1String(entry) + g.screenSize,
                              QString::fromLocal8Bit(Text(in)));
        }
        if (in.ConsumeBool())
            file.setValue(QStringLiteral("CurrentBand"), QString::fromLocal8Bit(Text(in)));
        file.endGroup();
    }
    file.sync();
}

void WriteRaw(FuzzedDataProvider& in) {
    QFile f(g.settingsFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail("cannot write the settings file", g.settingsFile);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void RestoreIntoPlainWindows() {
    for (const char* section : kSections) {
        QWidget window(nullptr, Qt::Window);
        window.resize(300, 200);
        auto* storage = new TFormStorage(&window);
        storage->SetSection(QLatin1String(section));
        storage->SetPlacementKept(TFormStorage::TPlacementKept::PositionAndState);
        storage->SetStoredValue(QStringLiteral("CurrentBand"), 0);
        storage->Restore();
        window.show();
        (void)storage->StoredValue(QStringLiteral("CurrentBand")).toString();
        window.hide();
        // Leaves the file as the input wrote it for the windows below.
        storage->SetActive(false);
    }
}

QWidget* TopLevel(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName))
            return w;
    return nullptr;
}

void Click(QWidget* window, const char* objectName) {
    auto* button = window->findChild<QPushButton*>(QLatin1String(objectName));
    if (!button)
        Fail("button not found", QLatin1String(objectName));
    button->click();
}

void OpenRealWindows() {
    const TPluginRecord host = Record("");
    if (!_Run(0, &host))
        Fail("_Run gave no window");
    QWidget* main = TopLevel("fmMainForm");
    if (!main)
        Fail("no fmMainForm");
    Click(main, "RzBitBtn2");
    QWidget* list = TopLevel("fmDomList");
    if (!list)
        Fail("no fmDomList");
    // Scoring does not care where the windows stand.
    const TPluginRecord qso = Record("F5XYZ");
    if (_AddQSO(&qso) != 2)
        Fail("a QSO was not counted");
    main->grab();
    list->grab();
    _Release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (TopLevel("fmMainForm") || TopLevel("fmDomList"))
        Fail("a window survived _Release");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g.app = new QApplication(*argc, *argv);
    g.folder = new QTemporaryDir();
    if (!g.folder->isValid() || !QDir(g.folder->path()).mkpath(QStringLiteral("Plugins")))
        Fail("no temporary folder");
    for (const char* table : {"romanian.dom", "zelmar.txt"})
        QFile::copy(QStringLiteral(ZELMAR_SOURCE_DIR "/data/") + QLatin1String(table),
                    g.folder->filePath(QStringLiteral("Plugins/")) + QLatin1String(table));
    SetHostFolderForTesting(g.folder->path().toLocal8Bit().toStdString());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       g.folder->filePath(QStringLiteral("settings")));
    g.settingsFile =
        QSettings(QSettings::IniFormat, QSettings::UserScope, TSettingsSection::HostProgramName())
            .fileName();
    QDir().mkpath(QFileInfo(g.settingsFile).path());
    const QSize screen = QGuiApplication::primaryScreen()->size();
    g.screenSize = QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
    // Errors of the file reach the operator; for the fuzzer they are fine.
    SetErrorReporter([](const QString&) { ++g.errors; });

    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("qarvel-log-1"));
    db.setDatabaseName(g.folder->filePath(QStringLiteral("log.sqlite")));
    QSqlQuery q(db);
    if (!db.open() ||
        !q.exec(QStringLiteral("CREATE TABLE Log (CallSign TEXT, DigiBand TEXT, QSOMode TEXT, "
                               "Continent TEXT, QSOReportRecived TEXT, DXCCPrefix TEXT, "
                               "MainPrefix TEXT)")) ||
        !q.exec(QStringLiteral("INSERT INTO Log VALUES ('YO5ZAA', '14', 'CW', 'EU', '599AB', "
                               "'YO', 'YO5')")))
        Fail("cannot create the log", q.lastError().text());
    return 0;
}

// A file the store cannot parse is kept aside under a new name each time;
// here they would pile up input after input.
void RemoveSetAsideFiles() {
    const QFileInfo file(g.settingsFile);
    QDir folder = file.dir();
    for (const QString& name :
         folder.entryList({file.fileName() + QStringLiteral(".unreadable*")}, QDir::Files))
        folder.remove(name);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RemoveSetAsideFiles();
    FuzzedDataProvider in(data, size);
    const std::uint8_t mode = in.ConsumeIntegral<std::uint8_t>();
    if (mode & 1)
        WriteRaw(in);
    else
        WriteStructured(in);
    RestoreIntoPlainWindows();
    if ((mode & 6) == 0)
        OpenRealWindows();
    return 0;
}
