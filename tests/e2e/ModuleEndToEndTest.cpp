#include "LoadedModule.h"
#include "MessageBoxCatcher.h"
#include "RecordBuilder.h"
#include "TempSqliteLog.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

QWidget* FindTopLevel(const QString& objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName)
            return w;
    return nullptr;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = std::make_unique<TempSqliteLog>();
        module_ = std::make_unique<LoadedModule>(LoadedModule::DefaultPath());
    }
    void TearDown() override {
        module_->Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        module_.reset();
        log_.reset();
    }

    MessageBoxCatcher boxes_;
    std::unique_ptr<TempSqliteLog> log_;
    std::unique_ptr<LoadedModule> module_;
};

TEST_F(ModuleTest, GetInfoNeedsNoWindow) {
    TPluginInfo info;
    std::memset(&info, 0, sizeof info);
    module_->GetInfo(&info);
    EXPECT_EQ(ReadShortText(info.Title), "Zelmar Contest");
    EXPECT_EQ(ReadShortText(info.PluginKind), "qarvel_contest");
    EXPECT_EQ(info.Flag1, 1);
    EXPECT_EQ(info.Flag2, 1);
}

TEST_F(ModuleTest, NothingIsCountedBeforeRun) {
    const RecordBuilder qso = RecordBuilder().Call("DL1ABC").Band("14").Mode("CW").Continent("EU").Prefix("DL");
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), 0);
    EXPECT_EQ(module_->GetScore(qso.Ptr()), 0);
    std::array<unsigned char, 256> receiving;
    receiving.fill(7);
    module_->GrabNumber(qso.Ptr(), receiving.data());
    EXPECT_EQ(receiving[0], 0);
    module_->Release(); // no window: returns normally
}

TEST_F(ModuleTest, RunOpensOneWindowAndScores) {
    const RecordBuilder host = RecordBuilder().Caption("LOG1");
    const std::uintptr_t handle = module_->Run(0, host.Ptr());
    ASSERT_NE(handle, 0u);
    QWidget* window = FindTopLevel(QStringLiteral("fmMainForm"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("LOG1 in Zelmar Contest"));
    EXPECT_TRUE(window->isVisible());

    // A second _Run shows the same window and does not copy its record.
    const RecordBuilder other = RecordBuilder().Caption("OTHER");
    EXPECT_EQ(module_->Run(0, other.Ptr()), handle);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("LOG1 in Zelmar Contest"));

    const RecordBuilder qso = RecordBuilder().Call("F5XYZ").Band("14").Mode("CW").Continent("EU").Prefix("F");
    EXPECT_EQ(module_->GetScore(qso.Ptr()), 2);
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), 2);
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), -1);
    EXPECT_EQ(module_->GetScore(qso.Ptr()), -1);
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << boxes_.Texts().join('\n').toStdString();
}

TEST_F(ModuleTest, ReleaseEndsCountingAndRunStartsAfresh) {
    const RecordBuilder host;
    ASSERT_NE(module_->Run(0, host.Ptr()), 0u);
    const RecordBuilder qso = RecordBuilder().Call("W1AW").Band("7").Mode("SSB").Continent("NA").Prefix("K");
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), 4);

    module_->Release();
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), 0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindTopLevel(QStringLiteral("fmMainForm")), nullptr);

    // The fresh window replays the (empty) log: the QSO is new again.
    ASSERT_NE(module_->Run(0, host.Ptr()), 0u);
    EXPECT_EQ(module_->AddQSO(qso.Ptr()), 4);
}

} // namespace
