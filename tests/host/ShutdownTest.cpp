#include "windows/QsoEntryLine.h"
#include "TempSqliteLog.h"
#include "WindowFixture.h"
#include "app/WindowRun.h"
#include "ui/SettingsSection.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

using namespace qarvel;
using qarvel::testing::WindowFixture;

namespace {

bool AnyTopLevel(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName))
            return true;
    return false;
}

class Shutdown : public WindowFixture {
protected:
    void FillLog(int count) {
        std::vector<zelmar::testing::LogRow> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({"DL" + std::to_string(i) + "ABC", i % 2 ? "14" : "7", "CW", "EU",
                            "599 AB", "DL", "DL"});
        log_->Insert(rows);
    }
};

TEST_F(Shutdown, QuitWithTheMultipliersWindowOpen) {
    ASSERT_TRUE(session_->Start());
    ASSERT_TRUE(session_->OpenMultipliers());
    QWidget* multipliers = session_->MultipliersWindow();
    ASSERT_NE(multipliers, nullptr);
    EXPECT_TRUE(multipliers->isVisible());

    window_->close();
    session_->Shutdown();
    EXPECT_FALSE(AnyTopLevel("fmMainForm"));
    EXPECT_EQ(session_->MultipliersWindow(), nullptr);
    session_->Shutdown(); // a second time is harmless
}

TEST_F(Shutdown, CloseDuringTheFirstReplay) {
    FillLog(3000);
    QSignalSpy quit(window_.get(), &MainWindow::QuitRequested);
    bool replaying = false;
    // Runs at the replay's message pump, as a click on the close box would.
    QTimer::singleShot(0, window_.get(), [&] {
        replaying = true;
        window_->close();
    });
    session_->Start();
    EXPECT_TRUE(replaying);
    EXPECT_EQ(quit.count(), 1);
    // The replay ran to its end: the close asked only for a quit.
    EXPECT_EQ(session_->ScoreLineText(), "Score: 6000*(2+2)=24000");
    session_->Shutdown();
    EXPECT_FALSE(AnyTopLevel("fmMainForm"));
}

TEST_F(Shutdown, CloseDuringARecalcWithTheMultipliersWindowOpen) {
    FillLog(3000);
    ASSERT_TRUE(session_->Start());
    ASSERT_TRUE(session_->OpenMultipliers());
    bool closed = false;
    QTimer::singleShot(0, window_.get(), [&] {
        window_->close();
        closed = true;
    });
    ASSERT_TRUE(session_->Recalc());
    EXPECT_TRUE(closed);
    session_->Shutdown();
    EXPECT_FALSE(AnyTopLevel("fmMainForm"));
}

TEST_F(Shutdown, TheEntryLineOutlivesTheModuleSafely) {
    ASSERT_TRUE(session_->Start());
    session_->Shutdown();
    // Without the module the entry line still logs, and scores nothing.
    auto* call = window_->EntryLine()->findChild<QLineEdit*>(QStringLiteral("EntryCall"));
    call->setText(QStringLiteral("DL1ABC"));
    EXPECT_TRUE(window_->EntryLine()->LogQso());
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(window_->EntryLine()->ResultText(), "Logged DL1ABC");
}

// qarvel as main() runs it: the fixture's own session lets go of the module
// first, so that the run below is its only host, as in qarvel.
class WholeRun : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        session_->Shutdown();
    }
};

TEST_F(WholeRun, QuitFromTheMenuReleasesTheModuleWithItsWindowsStillOpen) {
    // The plug-in's settings, named after this program as after qarvel.
    const QString ini = QSettings(QSettings::IniFormat, QSettings::UserScope,
                                  zelmar::TSettingsSection::HostProgramName())
                            .fileName();
    QFile::remove(ini);

    CommandLine options;
    options.showMultipliers = true;
    WindowRun run(options, station_, &Countries());
    // Once both of the module's windows are up, the operator chooses
    // File > Quit in the main window of this run.
    bool quitChosen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!AnyTopLevel("fmMainForm") || !AnyTopLevel("fmDomList"))
            return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<MainWindow*>(w); main && main != window_.get()) {
                poll.stop();
                quitChosen = true;
                main->close();
            }
    });
    poll.start(20);
    // A safety net that goes with `poll`, so it can never end a later test's loop.
    QTimer::singleShot(30000, &poll, [] { QCoreApplication::exit(99); });
    const int rc = run.Exec(QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"),
                            QStringLiteral("test"));
    ASSERT_TRUE(quitChosen);
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(AnyTopLevel("fmMainForm"));
    EXPECT_FALSE(AnyTopLevel("fmDomList"));
    // Released, not closed: both windows went while still open.
    const QSettings stored(ini, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("TfmMainForm/Visible")).toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value(QStringLiteral("TfmDomList/Visible")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(boxes_.Texts().isEmpty()) << boxes_.Texts().join('\n').toStdString();
}

} // namespace
