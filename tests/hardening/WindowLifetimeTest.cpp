// An error box of the module runs an event loop of its own, in which the
// host's timers and messages go on: the host may release the module or close
// the statistics window from there. No window of the module may go while any
// of its handlers is still on the stack; it goes once they have unwound, and
// is saved as it goes.
#include "ModuleHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

enum class HostAction { Release, CloseStatisticsWindow };

const RecordBuilder kQso =
    RecordBuilder().Call("F5XYZ").Band("14").Mode("CW").Continent("EU").Prefix("F");

QString Stored(const QString& key) {
    return QSettings(SettingsFile(), QSettings::IniFormat)
        .value(key, QStringLiteral("<missing>"))
        .toString();
}

class WindowLifetime : public ModuleHarness, public ::testing::WithParamInterface<HostAction> {
protected:
    void SetUp() override {
        ModuleHarness::SetUp();
        QFile::remove(SettingsFile());
    }

    // The first error box that comes up gets the host's action from inside
    // its event loop, and stays up for another turn of that loop, as a box
    // does until the operator dismisses it; the module's windows are watched
    // from then on.
    void ActInTheFirstBox() {
        boxes_.WhileUp([this] {
            if (acted_)
                return true;
            acted_ = true;
            for (QWidget* w : {Window(), MultipliersWindow()})
                if (w)
                    QObject::connect(w, &QObject::destroyed, [this] {
                        ++destroyed_;
                        if (inModule_)
                            ++destroyedUnderTheModule_;
                    });
            if (GetParam() == HostAction::Release)
                module_->Release();
            else
                Window()->close();
            return false;
        });
    }

    // Marks a call into the module as on the stack while it lives.
    class OnTheStack {
    public:
        explicit OnTheStack(bool& flag) : flag_(flag) { flag_ = true; }
        ~OnTheStack() { flag_ = false; }

    private:
        bool& flag_;
    };

    // Once the module's code has unwound: nothing counts any more, the
    // windows go with the next deferred deletions, the statistics window
    // saved as it went, and _Run starts afresh.
    void ExpectGoneAfterwardsAndFreshRun(int windows) {
        EXPECT_TRUE(acted_);
        EXPECT_EQ(destroyedUnderTheModule_, 0);
        EXPECT_EQ(module_->AddQSO(kQso.Ptr()), 0);
        DeleteDeferred();
        EXPECT_EQ(destroyed_, windows);
        EXPECT_EQ(Window(), nullptr);
        EXPECT_EQ(MultipliersWindow(), nullptr);
        EXPECT_EQ(Stored(QStringLiteral("TfmMainForm/Visible")),
                  GetParam() == HostAction::Release ? QStringLiteral("1") : QStringLiteral("0"));

        boxes_.WhileUp({});
        const qsizetype before = BoxCount();
        EXPECT_NE(Run(), 0u);
        EXPECT_EQ(BoxesSince(before), QString());
        EXPECT_EQ(module_->AddQSO(kQso.Ptr()), 2);
        EXPECT_EQ(TotalQSOs(), QStringLiteral("1"));
    }

    bool acted_ = false;
    bool inModule_ = false;
    int destroyed_ = 0;
    int destroyedUnderTheModule_ = 0;
};

TEST_P(WindowLifetime, ErrorOfTheFirstReplayShownInsideRun) {
    ActInTheFirstBox();
    // No connection qarvel-log-9: the replay of the first show fails.
    std::uintptr_t handle = 1;
    {
        const OnTheStack during(inModule_);
        handle = Run(RecordBuilder().Connection(9));
    }
    EXPECT_EQ(handle, 0u);
    EXPECT_THAT(BoxesSince(0).toStdString(), ::testing::HasSubstr("qarvel-log-9"));
    ExpectGoneAfterwardsAndFreshRun(1);
}

TEST_P(WindowLifetime, ErrorOfTheMultipliersWindowsRestore) {
    ASSERT_NE(Run(), 0u);
    // A value the settings store cannot read as text.
    QSettings(SettingsFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("TfmDomList/NormPos"), QRect(1, 2, 3, 4));
    ActInTheFirstBox();
    {
        const OnTheStack during(inModule_);
        Click("RzBitBtn2");
    }
    EXPECT_THAT(BoxesSince(0).toStdString(),
                ::testing::HasSubstr("Invalid data type for 'NormPos'"));
    ExpectGoneAfterwardsAndFreshRun(2);
}

TEST_P(WindowLifetime, ErrorOfARecalc) {
    log_->Insert({"YO5ZAA", "14", "CW", "EU", "599AB", "YO", "YO5"});
    ASSERT_NE(Run(), 0u);
    QSqlQuery(log_->Db()).exec(QStringLiteral("DROP TABLE Log"));
    ActInTheFirstBox();
    {
        const OnTheStack during(inModule_);
        Click("RzBitBtn1");
    }
    EXPECT_THAT(BoxesSince(0).toStdString(), ::testing::HasSubstr("no such table"));
    QString error;
    QSqlDatabase db = log_->Db();
    ASSERT_TRUE(qarvel::EnsureLogTable(db, QStringLiteral("Log"), &error)) << error.toStdString();
    ExpectGoneAfterwardsAndFreshRun(1);
}

INSTANTIATE_TEST_SUITE_P(HostActions, WindowLifetime,
                         ::testing::Values(HostAction::Release, HostAction::CloseStatisticsWindow),
                         [](const auto& info) {
                             return info.param == HostAction::Release ? "Release" : "Close";
                         });

} // namespace
