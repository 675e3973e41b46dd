// Settings files no sane save writes: placements at the ends of the 32-bit
// range, sizes far beyond any screen, words instead of numbers. Both windows
// open on them, count, and save a file they can open on again. Found by the
// stored-settings fuzz target.
#include "ModuleHarness.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

struct StoredTexts {
    const char* what;
    std::vector<std::pair<const char*, const char*>> entries; // both sections
};

void WriteSettings(const StoredTexts& texts) {
    QFile::remove(SettingsFile());
    QSettings file(SettingsFile(), QSettings::IniFormat);
    for (const char* section : {"TfmMainForm", "TfmDomList"}) {
        file.beginGroup(QLatin1String(section));
        for (const auto& [name, value] : texts.entries)
            file.setValue(QLatin1String(name), QLatin1String(value));
        file.endGroup();
    }
    file.sync();
    ASSERT_EQ(file.status(), QSettings::NoError);
}

class StoredSettings : public ModuleHarness, public ::testing::WithParamInterface<StoredTexts> {
protected:
    // Opens both windows on the file as it stands, scores one QSO, releases.
    void OpenCountAndRelease() {
        ASSERT_NE(Run(), 0u);
        ASSERT_NE(Window(), nullptr);
        EXPECT_TRUE(Window()->isVisible());
        Click("RzBitBtn2");
        QWidget* list = MultipliersWindow();
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(list->isVisible());

        // No window may be larger than the screens it could be shown on: the
        // platform limits a window to that, and a window of a stored size
        // beyond it costs gigabytes of drawing memory.
        const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
        for (QWidget* w : {Window(), list}) {
            const QSize size = w->frameGeometry().size();
            EXPECT_GT(size.width(), 0) << w->objectName().toStdString();
            EXPECT_GT(size.height(), 0) << w->objectName().toStdString();
            EXPECT_LE(size.width(), desktop.width() + 64) << w->objectName().toStdString();
            EXPECT_LE(size.height(), desktop.height() + 64) << w->objectName().toStdString();
        }
        const RecordBuilder qso =
            RecordBuilder().Call("F5XYZ").Band("14").Mode("CW").Continent("EU").Prefix("F");
        EXPECT_EQ(module_->AddQSO(qso.Ptr()), 2);
        module_->Release();
        DeleteDeferred();
        EXPECT_EQ(Window(), nullptr);
    }
};

TEST_P(StoredSettings, WindowsOpenCountAndSaveAgain) {
    WriteSettings(GetParam());
    if (HasFatalFailure())
        return;
    OpenCountAndRelease();
    // What the release saved opens again.
    OpenCountAndRelease();
    // A settings file the module cannot make sense of is no error box.
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << BoxesSince(0).toStdString();
}

// Numbers at the ends of the 32-bit range: left + width and right - left
// must not overflow.
INSTANTIATE_TEST_SUITE_P(
    Hostile, StoredSettings,
    ::testing::Values(
        StoredTexts{"full range",
                    {{"NormPos", "-2147483648,-2147483648,2147483647,2147483647"},
                     {"MinMaxPos", "2147483647,2147483647,-2147483648,-2147483648"},
                     {"PixelsPerInch", "96"}}},
        StoredTexts{"near the largest left",
                    {{"NormPos", "2147483000,10,2147483600,300"}, {"PixelsPerInch", "96"}}},
        StoredTexts{"right at the largest int",
                    {{"NormPos", "2147483600,10,2147483647,300"}, {"PixelsPerInch", "96"}}},
        StoredTexts{"near the smallest top",
                    {{"NormPos", "10,-2147483600,400,-2147483000"}, {"PixelsPerInch", "96"}}},
        StoredTexts{"a size far beyond the screen",
                    {{"NormPos", "0,0,6000,4000"}, {"PixelsPerInch", "96"}}},
        StoredTexts{"maximised, minimised, band out of range",
                    {{"NormPos", "10,10,400,300"},
                     {"ShowCmd", "3"},
                     {"CurrentBand", "2147483648"},
                     {"PixelsPerInch", "96"}}},
        StoredTexts{"words for numbers",
                    {{"NormPos", "a,b,c,d"},
                     {"MinMaxPos", "x"},
                     {"ShowCmd", "-7"},
                     {"Flags", "\x01\x02"},
                     {"CurrentBand", "-1"},
                     {"FormVersion", "99999999999"},
                     {"PixelsPerInch", "96"}}}),
    [](const ::testing::TestParamInfo<StoredTexts>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    });

} // namespace
