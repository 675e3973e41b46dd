#include "StorageFixture.h"

#include <QAbstractButton>
#include <QFile>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QTableWidget>
#include <csignal>
#include <limits>
#include <string>
#include <sys/resource.h>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

const QString kMain = QStringLiteral("TfmMainForm");
const QString kDomList = QStringLiteral("TfmDomList");

using FormStorageTest = StorageFixture;

TEST_F(FormStorageTest, FirstRunOpensBothWindowsAtTheirDesignAndWritesEveryEntry) {
    TfmMainForm* main = OpenMain();
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(1024, 233));
    EXPECT_TRUE(main->FormStorage()->Restored());
    EXPECT_EQ(main->FormStorage()->StoredValue(QStringLiteral("CurrentBand")).toInt(), 0);

    TfmDomList* list = OpenDomList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->frameGeometry().topLeft(), QPoint(1020, 164));
    EXPECT_TRUE(list->CurrentBandText().isEmpty());
    const QRect mainFrame = main->frameGeometry();
    const QRect listFrame = list->frameGeometry();
    // The statistics window keeps its designed client size inside its frame.
    EXPECT_EQ(mainFrame.size(), QSize(328, 193).grownBy(FrameOf(main)));
    const QString mainMinMax = MinMaxText(main);
    const QString listMinMax = MinMaxText(list);

    // Nothing is written before the windows go.
    EXPECT_FALSE(QFileInfo::exists(IniPath()));
    DestroyMain();
    ASSERT_TRUE(QFileInfo::exists(IniPath()));

    const QString minMax = QStringLiteral("MinMaxPos") + ScreenSize();
    const QString norm = QStringLiteral("NormPos") + ScreenSize();
    const QStringList placement = {QStringLiteral("Flags"),
                                   QStringLiteral("FormVersion"),
                                   minMax,
                                   QStringLiteral("MinMaxPos"),
                                   norm,
                                   QStringLiteral("NormPos"),
                                   QStringLiteral("PixelsPerInch"),
                                   QStringLiteral("ShowCmd"),
                                   QStringLiteral("Visible")};
    QStringList mainKeys = placement;
    mainKeys << QStringLiteral("CurrentBand");
    mainKeys.sort();
    QStringList listKeys = placement;
    listKeys.sort();
    EXPECT_EQ(Keys(kMain), mainKeys);
    EXPECT_EQ(Keys(kDomList), listKeys);

    for (const QString& section : {kMain, kDomList}) {
        SCOPED_TRACE(section.toStdString());
        EXPECT_EQ(Stored(section, QStringLiteral("FormVersion")), QStringLiteral("0"));
        EXPECT_EQ(Stored(section, QStringLiteral("Flags")), QStringLiteral("0"));
        EXPECT_EQ(Stored(section, QStringLiteral("ShowCmd")), QStringLiteral("1"));
        EXPECT_EQ(Stored(section, QStringLiteral("PixelsPerInch")), PixelsPerInch());
        EXPECT_EQ(Stored(section, QStringLiteral("Visible")), QStringLiteral("1"));
    }
    // Never minimised: -1,-1; the maximised position is minus the border.
    EXPECT_EQ(Stored(kMain, minMax), mainMinMax);
    EXPECT_EQ(Stored(kMain, QStringLiteral("MinMaxPos")), mainMinMax);
    EXPECT_EQ(Stored(kDomList, minMax), listMinMax);
    EXPECT_EQ(Stored(kDomList, QStringLiteral("MinMaxPos")), listMinMax);
    EXPECT_EQ(Stored(kMain, norm), NormPosText(mainFrame));
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos")), NormPosText(mainFrame));
    EXPECT_EQ(Stored(kDomList, norm), NormPosText(listFrame));
    EXPECT_EQ(Stored(kDomList, QStringLiteral("NormPos")), NormPosText(listFrame));
    EXPECT_EQ(Stored(kMain, QStringLiteral("CurrentBand")), QStringLiteral("0"));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(FormStorageTest, ClosedMultipliersWindowComesBackWithPositionAndSize) {
    OpenMain();
    TfmDomList* list = OpenDomList();
    SetFrame(list, QRect(100, 50, 400, 200));
    ASSERT_EQ(list->frameGeometry(), QRect(100, 50, 400, 200));
    CloseDomList(list);
    EXPECT_EQ(MultipliersWindow(), nullptr);

    EXPECT_EQ(Stored(kDomList, QStringLiteral("NormPos")), QStringLiteral("100,50,500,250"));
    EXPECT_EQ(Stored(kDomList, QStringLiteral("NormPos") + ScreenSize()),
              QStringLiteral("100,50,500,250"));
    EXPECT_EQ(Stored(kDomList, QStringLiteral("Visible")), QStringLiteral("0"));
    EXPECT_EQ(Stored(kMain, QStringLiteral("Visible")), QStringLiteral("<missing>"));

    list = OpenDomList();
    EXPECT_EQ(list->frameGeometry(), QRect(100, 50, 400, 200));

    // Closed once and saved: its destruction with the statistics window
    // writes nothing more for it.
    CloseDomList(list);
    DestroyMain();
    EXPECT_EQ(Stored(kDomList, QStringLiteral("Visible")), QStringLiteral("0"));
    EXPECT_EQ(Stored(kMain, QStringLiteral("Visible")), QStringLiteral("1"));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(FormStorageTest, EntryOfTheCurrentScreenSizeComesFirstThenThePlainOne) {
    // Saved on another screen: only the plain entry fits this one.
    Seed(kDomList, QStringLiteral("NormPos(1x1)"), QStringLiteral("1,1,301,201"));
    Seed(kDomList, QStringLiteral("NormPos"), QStringLiteral("200,100,600,400"));
    OpenMain();
    TfmDomList* list = OpenDomList();
    EXPECT_EQ(list->frameGeometry(), QRect(200, 100, 400, 300));
    CloseDomList(list);

    Seed(kDomList, QStringLiteral("NormPos") + ScreenSize(), QStringLiteral("30,40,330,240"));
    Seed(kDomList, QStringLiteral("NormPos"), QStringLiteral("200,100,600,400"));
    list = OpenDomList();
    EXPECT_EQ(list->frameGeometry(), QRect(30, 40, 300, 200));

    // An empty entry for this screen counts as missing.
    CloseDomList(list);
    Seed(kDomList, QStringLiteral("NormPos") + ScreenSize(), QString());
    Seed(kDomList, QStringLiteral("NormPos"), QStringLiteral("200,100,600,400"));
    list = OpenDomList();
    EXPECT_EQ(list->frameGeometry(), QRect(200, 100, 400, 300));
}

struct NormPosCase {
    const char* name;
    const char* text;
    QRect expected; // relative to the designed frame when `keepsDesign`
    bool keepsDesign;
};

class NormPosTextTest : public StorageFixture, public ::testing::WithParamInterface<NormPosCase> {};

TEST_P(NormPosTextTest, MultipliersWindowReadsTheWords) {
    OpenMain();
    // The designed frame, as a first opening over an empty store shows it.
    TfmDomList* list = OpenDomList();
    const QRect design = list->frameGeometry();
    CloseDomList(list);
    ASSERT_TRUE(QFile::remove(IniPath()));

    Seed(kDomList, QStringLiteral("NormPos"), QString::fromLatin1(GetParam().text));
    list = OpenDomList();
    QRect expected = GetParam().expected;
    if (GetParam().keepsDesign)
        expected = design;
    else if (expected.width() < 0) { // right and bottom are the design's
        expected = QRect(expected.topLeft(), QPoint(design.right(), design.bottom()));
        // The designed window sits far right: reaching its right edge from a
        // left of 10 is wider than a small screen, and no window outgrows it.
        const QSize screen = QGuiApplication::primaryScreen()->size();
        expected.setSize(expected.size().boundedTo(screen));
    }
    EXPECT_EQ(list->frameGeometry(), expected) << GetParam().text;
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NormPosTextTest,
    ::testing::Values(
        NormPosCase{"Commas", "10,20,500,300", QRect(10, 20, 490, 280), false},
        NormPosCase{"Blanks", "10 20 500 300", QRect(10, 20, 490, 280), false},
        NormPosCase{"EmptyWords", " 10, 20,,500 ,300 ", QRect(10, 20, 490, 280), false},
        // Two words: left and top; right and bottom stay.
        NormPosCase{"TwoWords", "10,20", QRect(QPoint(10, 20), QSize(-1, -1)), false},
        NormPosCase{"WordsForNumbers", "10,20,x,y", QRect(QPoint(10, 20), QSize(-1, -1)), false},
        NormPosCase{"NoWidth", "500,20,500,300", QRect(), true},
        NormPosCase{"RightOfLeft", "500,20,400,300", QRect(), true},
        NormPosCase{"Empty", "", QRect(), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormStorageTest, StatisticsWindowTakesOnlyTheStoredPosition) {
    // Its right is not greater than its left, but the window keeps its own
    // size, so the position still applies.
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("300,40,100,60"));
    TfmMainForm* main = OpenMain();
    const QRect frame(QPoint(300, 40), QSize(328, 193).grownBy(FrameOf(main)));
    EXPECT_EQ(main->frameGeometry(), frame);
    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos")), NormPosText(frame));
}

TEST_F(FormStorageTest, StatisticsWindowAtTheEndOfTheNumberRangeKeepsItsSize) {
    // Left plus its width lies past the largest whole number: the window
    // keeps its size and the stored top, and is brought back onto the
    // screen, at its right edge.
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("2147483600,10,2147483647,300"));
    TfmMainForm* main = OpenMain();
    const QSize outer = QSize(328, 193).grownBy(FrameOf(main));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame(QPoint(screen.right() + 1 - outer.width(), 10), outer);
    EXPECT_EQ(main->frameGeometry(), frame);
    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos")), NormPosText(frame));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(FormStorageTest, PlacementOfAnotherPixelDensityIsNotApplied) {
    Seed(kMain, QStringLiteral("PixelsPerInch"), QStringLiteral("1"));
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("10,20,338,213"));
    Seed(kMain, QStringLiteral("ShowCmd"), QStringLiteral("3"));
    Seed(kMain, QStringLiteral("CurrentBand"), QStringLiteral("5"));
    TfmMainForm* main = OpenMain();
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(1024, 233));
    // The state and the stored values come back all the same.
    EXPECT_TRUE(main->isMaximized());
    EXPECT_EQ(main->FormStorage()->StoredValue(QStringLiteral("CurrentBand")).toString(),
              QStringLiteral("5"));

    DestroyMain();
    // Saved maximised: the frame it was given in its normal state.
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos") + ScreenSize()).section(',', 0, 1),
              QStringLiteral("1024,233"));
    Seed(kMain, QStringLiteral("NormPos") + ScreenSize(), QString());
    Seed(kMain, QStringLiteral("PixelsPerInch"), PixelsPerInch());
    Seed(kMain, QStringLiteral("ShowCmd"), QStringLiteral("1"));
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("10,20,338,213"));
    main = OpenMain();
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(10, 20));
}

struct ShowCmdCase {
    const char* text;
    bool maximized;
};

class ShowCmdTest : public StorageFixture, public ::testing::WithParamInterface<ShowCmdCase> {};

TEST_P(ShowCmdTest, StatisticsWindowOpensNormalOrMaximised) {
    Seed(kMain, QStringLiteral("ShowCmd"), QString::fromLatin1(GetParam().text));
    TfmMainForm* main = OpenMain();
    EXPECT_EQ(main->isMaximized(), GetParam().maximized) << GetParam().text;
    EXPECT_FALSE(main->isMinimized()) << GetParam().text;
    EXPECT_TRUE(main->isVisible());

    // The multipliers window keeps no state.
    Seed(kDomList, QStringLiteral("ShowCmd"), QString::fromLatin1(GetParam().text));
    TfmDomList* list = OpenDomList();
    EXPECT_FALSE(list->isMaximized());
    EXPECT_FALSE(list->isMinimized());

    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("ShowCmd")),
              GetParam().maximized ? QStringLiteral("3") : QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(States, ShowCmdTest,
                         ::testing::Values(ShowCmdCase{"1", false}, ShowCmdCase{"2", false},
                                           ShowCmdCase{"3", true}, ShowCmdCase{"0", false},
                                           ShowCmdCase{"6", false}, ShowCmdCase{"7", false},
                                           ShowCmdCase{"8", false}, ShowCmdCase{"x", false}),
                         [](const auto& info) {
                             const std::string text = info.param.text;
                             return "ShowCmd" + (text == "x" ? std::string("Word") : text);
                         });

TEST_F(FormStorageTest, MinimisedStatisticsWindowSavesItsState) {
    TfmMainForm* main = OpenMain();
    main->showMinimized();
    ASSERT_TRUE(main->isMinimized());
    const QRect frame(QPoint(1024, 233), QSize(328, 193).grownBy(FrameOf(main)));
    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("ShowCmd")), QStringLiteral("2"));
    // Minimised, its normal frame is still the one written.
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos")), NormPosText(frame));
}

TEST_F(FormStorageTest, LowerVersionSkipsPlacementAndValuesAndIsWrittenAnew) {
    Seed(kMain, QStringLiteral("FormVersion"), QStringLiteral("-1"));
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("10,20,338,213"));
    Seed(kMain, QStringLiteral("ShowCmd"), QStringLiteral("3"));
    Seed(kMain, QStringLiteral("CurrentBand"), QStringLiteral("7"));
    TfmMainForm* main = OpenMain();
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(1024, 233));
    EXPECT_FALSE(main->isMaximized());
    EXPECT_EQ(main->FormStorage()->StoredValue(QStringLiteral("CurrentBand")).toInt(), 0);
    EXPECT_TRUE(main->FormStorage()->Restored());
    const QRect frame = main->frameGeometry();

    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("FormVersion")), QStringLiteral("0"));
    EXPECT_EQ(Stored(kMain, QStringLiteral("CurrentBand")), QStringLiteral("0"));
    EXPECT_EQ(Stored(kMain, QStringLiteral("NormPos")), NormPosText(frame));
}

TEST_F(FormStorageTest, StoredBandOpensTheMultipliersWindowOnIt) {
    Seed(kMain, QStringLiteral("CurrentBand"), QStringLiteral("7"));
    TfmMainForm* main = OpenMain();
    // The name is found whatever its case; the value comes back as text.
    EXPECT_EQ(main->FormStorage()->StoredValue(QStringLiteral("currentband")),
              QVariant(QStringLiteral("7")));
    TfmDomList* list = OpenDomList();
    EXPECT_EQ(list->CurrentBandText(), QStringLiteral("21"));
    auto* button = list->findChild<QAbstractButton*>(QStringLiteral("RzBitBtn7"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isChecked());

    // Choosing another band changes the value in memory; the file sees it
    // only when the statistics window goes.
    auto* band14 = list->findChild<QAbstractButton*>(QStringLiteral("RzBitBtn5"));
    ASSERT_NE(band14, nullptr);
    band14->click();
    CloseDomList(list);
    EXPECT_EQ(Stored(kMain, QStringLiteral("CurrentBand")), QStringLiteral("7"));
    list = OpenDomList();
    EXPECT_EQ(list->CurrentBandText(), QStringLiteral("14"));
    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("CurrentBand")), QStringLiteral("5"));
}

TEST_F(FormStorageTest, FlagsAndMinimisedPositionAreKeptTheMaximisedOneNever) {
    Seed(kDomList, QStringLiteral("Flags"), QStringLiteral("2"));
    Seed(kDomList, QStringLiteral("MinMaxPos"), QStringLiteral("5 6 7 8"));
    Seed(kMain, QStringLiteral("Flags"), QStringLiteral("two"));
    Seed(kMain, QStringLiteral("MinMaxPos"), QStringLiteral("5,x"));
    const QString mainMinMax = MinMaxText(OpenMain(), QStringLiteral("5,0"));
    const QString listMinMax = MinMaxText(OpenDomList(), QStringLiteral("5,6"));
    DestroyMain();
    EXPECT_EQ(Stored(kDomList, QStringLiteral("Flags")), QStringLiteral("2"));
    EXPECT_EQ(Stored(kDomList, QStringLiteral("MinMaxPos")), listMinMax);
    EXPECT_EQ(Stored(kMain, QStringLiteral("Flags")), QStringLiteral("0"));
    EXPECT_EQ(Stored(kMain, QStringLiteral("MinMaxPos")), mainMinMax);
}

TEST_F(FormStorageTest, WindowNeverShownIsNeverSaved) {
    main_ = new TfmMainForm(host_.Ptr());
    CurrentWindow() = main_;
    EXPECT_FALSE(main_->FormStorage()->Restored());
    DestroyMain();
    EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

// --- Failures of the store -------------------------------------------------

TEST_F(FormStorageTest, SettingsFolderThatCannotBeCreatedIsReportedAndTheWindowClosesAnyway) {
    // Even root cannot make a folder below a plain file.
    const QString blocker = config_.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    UseConfigFolder(blocker + QStringLiteral("/config"));
    OpenMain();
    TfmDomList* list = OpenDomList();
    // Nothing to read is no error.
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
    EXPECT_TRUE(list->isVisible());

    CloseDomList(list);
    EXPECT_EQ(MultipliersWindow(), nullptr);
    const QString file =
        QDir::toNativeSeparators(blocker + QStringLiteral("/config/") +
                                 TSettingsSection::HostProgramName() + QStringLiteral(".ini"));
    ASSERT_FALSE(errors_.isEmpty());
    EXPECT_EQ(errors_.first(), QStringLiteral("Failed to create key %1 [TfmDomList]").arg(file));

    errors_.clear();
    DestroyMain();
    ASSERT_FALSE(errors_.isEmpty());
    EXPECT_EQ(errors_.first(), QStringLiteral("Failed to create key %1 [TfmMainForm]").arg(file));
}

// Lets a file grow to at most `bytes` while it lives; a longer write fails
// part-way as on a full disk, which not even root escapes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(FormStorageTest, FailedWriteIsReportedAndLeavesTheOldFileWhole) {
    OpenMain();
    OpenDomList()->move(100, 50);
    DestroyMain();
    const QByteArray before = ReadAll(IniPath());
    ASSERT_GT(before.size(), 400);

    OpenMain();
    TfmDomList* list = OpenDomList();
    ASSERT_EQ(list->frameGeometry().topLeft(), QPoint(100, 50));
    const QStringList filesBefore = QDir(config_.path()).entryList(QDir::Files);

    list->move(700, 70);
    {
        // Room for the lock file but not for the new settings file.
        const FileSizeLimit limit(200);
        CloseDomList(list);
    }
    EXPECT_EQ(MultipliersWindow(), nullptr);
    ASSERT_FALSE(errors_.isEmpty());
    EXPECT_EQ(errors_.first(), QStringLiteral("Failed to set data for 'FormVersion'"));
    EXPECT_EQ(ReadAll(IniPath()), before);
    // No half-written file is left beside it either.
    EXPECT_EQ(QDir(config_.path()).entryList(QDir::Files), filesBefore);
}

TEST_F(FormStorageTest, UnreadableFileIsReportedAndTheWindowOpensUnrestored) {
    // A folder where the file should be cannot be read as one.
    ASSERT_TRUE(QDir().mkpath(IniPath()));
    TfmMainForm* main = OpenMain();
    ASSERT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
    EXPECT_EQ(errors_.first(), QStringLiteral("Failed to get data for 'FormVersion'"));
    EXPECT_FALSE(main->FormStorage()->Restored());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(1024, 233));
    // Its own show handler ran all the same.
    auto* grid = main->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Band"));

    // Not restored, so not saved: nothing more is reported.
    DestroyMain();
    EXPECT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
}

// Not even the store's own parser can read it: the operator hears of it once,
// the file is kept under a new name, and a fresh one takes its place.
TEST_F(FormStorageTest, FileTheStoreCannotParseIsKeptAsideAndAFreshOneStarted) {
    // A line that is no entry; a section that never closes.
    for (const QByteArray& garbage : {QByteArray("this is no settings file\n"),
                                      QByteArray("[TfmMainForm\nNormPos=1,2,3,4\n")}) {
        SCOPED_TRACE(garbage.toStdString());
        errors_.clear();
        {
            QFile f(IniPath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(garbage);
        }
        TfmMainForm* main = OpenMain();
        EXPECT_TRUE(main->isVisible());
        ASSERT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
        EXPECT_TRUE(errors_.first().contains(QDir::toNativeSeparators(IniPath())))
            << errors_.first().toStdString();
        QStringList kept;
        for (const QFileInfo& file : QDir(config_.path()).entryInfoList(QDir::Files))
            if (file.filePath() != IniPath() && ReadAll(file.filePath()) == garbage)
                kept << file.filePath();
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(errors_.first().contains(QDir::toNativeSeparators(kept.first())))
            << errors_.first().toStdString();

        // From then on as usual: placements are saved and come back.
        main->move(300, 100);
        TfmDomList* list = OpenDomList();
        SetFrame(list, QRect(100, 50, 400, 200));
        CloseDomList(list);
        EXPECT_EQ(OpenDomList()->frameGeometry(), QRect(100, 50, 400, 200));
        DestroyMain();
        EXPECT_EQ(Stored(kMain, QStringLiteral("Visible")), QStringLiteral("1"));
        EXPECT_EQ(OpenMain()->frameGeometry().topLeft(), QPoint(300, 100));
        DestroyMain();
        EXPECT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
        EXPECT_EQ(ReadAll(kept.first()), garbage);
    }
}

TEST_F(FormStorageTest, EntryThatIsNoTextIsReported) {
    Seed(kDomList, QStringLiteral("NormPos"), QRect(1, 2, 3, 4));
    OpenMain();
    TfmDomList* list = OpenDomList();
    ASSERT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
    EXPECT_EQ(errors_.first(), QStringLiteral("Invalid data type for 'NormPos'"));
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->frameGeometry().topLeft(), QPoint(1020, 164));
    // A failed restore is not saved: the close leaves the entry alone.
    CloseDomList(list);
    EXPECT_EQ(Keys(kDomList), QStringList{QStringLiteral("NormPos")});
}

TEST_F(FormStorageTest, StoredValueThatIsNoTextFailsAfterThePlacement) {
    Seed(kMain, QStringLiteral("NormPos"), QStringLiteral("10,20,338,213"));
    Seed(kMain, QStringLiteral("CurrentBand"), 7);
    TfmMainForm* main = OpenMain();
    ASSERT_EQ(errors_.size(), 1) << errors_.join('\n').toStdString();
    EXPECT_EQ(errors_.first(), QStringLiteral("Invalid data type for 'CurrentBand'"));
    // The placement was restored before the values, so the window is saved
    // later, the value as it was in memory.
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(10, 20));
    EXPECT_TRUE(main->FormStorage()->Restored());
    DestroyMain();
    EXPECT_EQ(Stored(kMain, QStringLiteral("CurrentBand")), QStringLiteral("0"));
}

} // namespace
