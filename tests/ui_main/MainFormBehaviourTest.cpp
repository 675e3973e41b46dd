#include "MainFormFixture.h"
#include "ui/SqlLogQuery.h"
#include "ui/TFormStorage.h"
#include "ui/TfmDomList.h"

#include <QCloseEvent>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <qpa/qwindowsysteminterface.h>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

// Runs `onPump` whenever the event loop is entered while the replay's log
// query is open, i.e. at the replay's own message-pump point.
class ReplayPumpProbe {
public:
    ReplayPumpProbe(TfmMainForm* window, std::function<void()> onPump)
        : onPump_(std::move(onPump)) {
        query_ = window->findChild<TSqlLogQuery*>(QStringLiteral("LogQuery"));
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (query_ && query_->IsOpen()) {
                ++hits_;
                timer_.stop();
                onPump_();
            }
        });
        timer_.start();
    }
    int Hits() const { return hits_; }

private:
    QPointer<TSqlLogQuery> query_;
    std::function<void()> onPump_;
    QTimer timer_;
    int hits_ = 0;
};

void Exec(const TempSqliteLog& log, const QString& sql) {
    QSqlQuery q(log.Db());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
}

TEST_F(MainFormTest, CaptionIsLogNameInZelmarContest) {
    struct Case {
        const char* caption;
        const char* title;
    };
    for (const Case& c : {Case{"LOG1", "LOG1 in Zelmar Contest"}, Case{"", " in Zelmar Contest"},
                          Case{"Field Day 2024", "Field Day 2024 in Zelmar Contest"}}) {
        TfmMainForm* w = Open(RecordBuilder().Caption(c.caption));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QString::fromLatin1(c.title));
        _Release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(MainFormTest, ShowWritesLabelsAndReplaysTheLog) {
    log_->Insert(
        {Qso("F5AA", "14"), Qso("F5AB", "14"), Qso("JA1AA", "21", "AS", "JA"), Qso("F5AC", "10")});
    Open();
    const char* header[] = {"Band", "QSOs", "Points", "Multipliers", "DXCC"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Cell(c, 0), QString::fromLatin1(header[c]));
    const char* labels[] = {"160", "80", "40", "20", "15", "10", "Total"};
    for (int r = 1; r < 8; ++r)
        EXPECT_EQ(Cell(0, r), QString::fromLatin1(labels[r - 1]));
    EXPECT_EQ(Cell(1, 4), QStringLiteral("2"));
    EXPECT_EQ(Cell(1, 5), QStringLiteral("1"));
    EXPECT_EQ(Cell(1, 1), QString()); // no 160 m QSO: untouched
    EXPECT_EQ(Cell(1, 7), QStringLiteral("4"));
    EXPECT_TRUE(ScoreLine().startsWith(QStringLiteral("Score: ")));
    EXPECT_TRUE(Action()->isEnabled());
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(MainFormTest, RecalcOnEmptyLogShowsZeros) {
    log_->Insert(Qso("F5AA", "14"));
    Open();
    Exec(*log_, QStringLiteral("DELETE FROM Log"));
    QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
    for (int r = 1; r < 7; ++r)
        for (int c = 1; c < 5; ++c)
            EXPECT_EQ(Cell(c, r), QString()) << c << "," << r;
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(Cell(c, 7), QStringLiteral("0"));
    EXPECT_EQ(ScoreLine(), QStringLiteral("Score: 0*(0+0)=0"));
}

TEST_F(MainFormTest, ActionIsDisabledOnlyWhileReplaying) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "7")});
    TfmMainForm* w = Open();
    std::vector<bool> enabledAtPump;
    ReplayPumpProbe probe(w, [&] { enabledAtPump.push_back(Action()->isEnabled()); });
    QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
    ASSERT_EQ(probe.Hits(), 1);
    EXPECT_EQ(enabledAtPump, std::vector<bool>{false});
    EXPECT_TRUE(Action()->isEnabled());
    // The button is not bound to the action and stays enabled throughout.
    EXPECT_TRUE(Part<QPushButton>("RzBitBtn1")->isEnabled());
}

TEST_F(MainFormTest, TriggeringTheActionRecalculates) {
    TfmMainForm* w = Open();
    log_->Insert(Qso("F5AA", "14"));
    Action()->trigger();
    EXPECT_EQ(Cell(1, 4), QStringLiteral("1"));
    // Disabled, it runs nothing.
    log_->Insert(Qso("F5AB", "14"));
    Action()->setEnabled(false);
    Action()->trigger();
    EXPECT_EQ(Cell(1, 4), QStringLiteral("1"));
    Action()->setEnabled(true);
    (void)w;
}

TEST_F(MainFormTest, RecalcErrorIsReportedAndLeavesWindowUsable) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "14")});
    TfmMainForm* w = Open();
    const QString before = ScoreLine();
    ASSERT_FALSE(before.isEmpty());
    Exec(*log_, QStringLiteral("DROP TABLE Log"));

    QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("no such table"), Qt::CaseInsensitive))
        << errors_[0].toStdString();
    EXPECT_TRUE(Action()->isEnabled());
    EXPECT_EQ(ScoreLine(), before);
    EXPECT_EQ(Cell(1, 4), QString()); // emptied before the query failed
    EXPECT_EQ(Cell(0, 4), QStringLiteral("20"));
    EXPECT_TRUE(w->isVisible());
    ASSERT_NE(w->Scorer(), nullptr);

    // Usable: once the table is back, Recalc works again.
    QSqlDatabase db = log_->Db();
    QString error;
    ASSERT_TRUE(qarvel::EnsureLogTable(db, QStringLiteral("Log"), &error)) << error.toStdString();
    log_->Insert(Qso("F5AC", "14"));
    QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
    EXPECT_EQ(errors_.size(), 1);
    EXPECT_EQ(Cell(1, 4), QStringLiteral("1"));
    EXPECT_NE(ScoreLine(), before);
}

TEST_F(MainFormTest, ErrorDuringFirstShowIsReportedAndWindowShown) {
    const std::uintptr_t handle = _Run(0, RecordBuilder().Table("Missing").Caption("LOG1").Ptr());
    window_ = CurrentWindow();
    ASSERT_NE(window_, nullptr);
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(window_->isVisible());
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("Missing"))) << errors_[0].toStdString();
    EXPECT_TRUE(Action()->isEnabled());
    EXPECT_EQ(ScoreLine(), QString());
    EXPECT_EQ(Cell(0, 0), QStringLiteral("Band")); // labels are written before the replay
}

TEST_F(MainFormTest, CloseBoxMinimisesAndScoringGoesOn) {
    log_->Insert(Qso("F5AA", "14"));
    TfmMainForm* w = Open();
    TContestScorer* scorer = w->Scorer();
    // The window system's own close request, as the platform delivers the
    // close box.
    ASSERT_NE(w->windowHandle(), nullptr);
    EXPECT_FALSE(
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            w->windowHandle()));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(CurrentWindow(), w);
    EXPECT_TRUE(w->isMinimized());
    EXPECT_EQ(w->Scorer(), scorer);
    EXPECT_FALSE(w->FormStorage()->Saved());

    // Scoring goes on while minimised; no replay needed to see it.
    log_->Insert(Qso("F5ZZ", "7")); // in the log, but only a replay would count it
    const RecordBuilder qso =
        RecordBuilder().Call("F5AB").Band("14").Mode("CW").Continent("EU").Prefix("F");
    EXPECT_EQ(_AddQSO(qso.Ptr()), 2);
    EXPECT_EQ(_AddQSO(qso.Ptr()), -1);
    EXPECT_EQ(Cell(1, 4), QStringLiteral("2"));
    w->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(Cell(1, 4), QStringLiteral("2"));
    EXPECT_EQ(Cell(1, 3), QString()); // the 40 m row stays empty: no replay ran
    EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(MainFormTest, SystemCommandsOtherThanCloseAreNotHandled) {
    TfmMainForm* w = Open();
    EXPECT_FALSE(w->WMSysCommand(0xF020)); // SC_MINIMIZE
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->WMSysCommand(TfmMainForm::kSC_CLOSE));
    EXPECT_TRUE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(MainFormTest, ProgrammaticCloseReleasesStateAndDestroysLater) {
    log_->Insert(Qso("F5AA", "14"));
    TfmMainForm* w = Open();
    auto* query = w->findChild<TSqlLogQuery*>(QStringLiteral("LogQuery"));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->Scorer(), nullptr);
    EXPECT_FALSE(query->IsOpen());
    EXPECT_TRUE(w->FormStorage()->Saved());
    EXPECT_EQ(CurrentWindow(), nullptr);
    EXPECT_FALSE(w->isVisible());
    ASSERT_FALSE(window_.isNull()); // destroyed only later
    const RecordBuilder qso =
        RecordBuilder().Call("F5AB").Band("14").Mode("CW").Continent("EU").Prefix("F");
    EXPECT_EQ(_AddQSO(qso.Ptr()), 0);
    EXPECT_EQ(_GetScore(qso.Ptr()), 0);
    // A later Recalc (say a queued click) finds nothing to count into.
    w->RecalcStatisticExecute();
    EXPECT_TRUE(errors_.isEmpty());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull());

    // The next _Run starts afresh and replays the log again.
    log_->Insert(Qso("F5AC", "14"));
    Open();
    EXPECT_EQ(Cell(1, 4), QStringLiteral("2"));
}

TEST_F(MainFormTest, EveryShowReplaysButRestoringDoesNot) {
    TfmMainForm* w = Open();
    log_->Insert(Qso("F5AA", "14"));
    w->showMinimized();
    w->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(Cell(1, 4), QString());
    w->hide();
    w->show();
    EXPECT_EQ(Cell(1, 4), QStringLiteral("1"));
}

TEST_F(MainFormTest, SecondMultipliersClickOpensNothing) {
    Open();
    auto* button = Part<QPushButton>("RzBitBtn2");
    QTest::mouseClick(button, Qt::LeftButton);
    QPointer<TfmDomList> first = MultipliersWindow();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->parent(), window_.data());
    first->showMinimized();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(MultipliersWindow(), first);
    EXPECT_TRUE(first->isMinimized()); // not restored either
    EXPECT_EQ(window_->findChildren<TfmDomList*>().size(), 1);

    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(MultipliersWindow().isNull());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(MultipliersWindow().isNull());
    EXPECT_NE(MultipliersWindow(), first);
}

TEST_F(MainFormTest, RecalcClickDuringReplayIsDeferred) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "14"), Qso("F5AC", "7")});
    TfmMainForm* w = Open();
    int disables = 0;
    QObject::connect(Action(), &QAction::enabledChanged, [&](bool on) { disables += on ? 0 : 1; });
    bool stillDisabled = false, queryStillOpen = false;
    auto* query = w->findChild<TSqlLogQuery*>(QStringLiteral("LogQuery"));
    ReplayPumpProbe probe(w, [&] {
        QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
        QTest::mouseClick(Part<QPushButton>("RzBitBtn1"), Qt::LeftButton);
        // Nothing ran inside the running replay: an inner one would have
        // closed the query and enabled the action again.
        stillDisabled = !Action()->isEnabled();
        queryStillOpen = query->IsOpen();
    });
    w->RecalcStatisticExecute();
    ASSERT_EQ(probe.Hits(), 1);
    EXPECT_TRUE(stillDisabled);
    EXPECT_TRUE(queryStillOpen);
    EXPECT_EQ(disables, 1);
    EXPECT_EQ(Cell(1, 7), QStringLiteral("3"));
    EXPECT_EQ(w->Scorer()->QSOList().size(), 3u);

    // The clicks come due once: one more recalculation, same figures.
    QTest::qWait(20);
    EXPECT_EQ(disables, 2);
    EXPECT_TRUE(Action()->isEnabled());
    EXPECT_EQ(Cell(1, 7), QStringLiteral("3"));
    EXPECT_EQ(w->Scorer()->QSOList().size(), 3u);
    EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(MainFormTest, ShowDuringReplayStartsNoSecondOne) {
    log_->Insert(Qso("F5AA", "14"));
    TfmMainForm* w = Open();
    int disables = 0;
    QObject::connect(Action(), &QAction::enabledChanged, [&](bool on) { disables += on ? 0 : 1; });
    ReplayPumpProbe probe(w, [&] {
        w->hide();
        w->show();
    });
    w->RecalcStatisticExecute();
    ASSERT_EQ(probe.Hits(), 1);
    QTest::qWait(20);
    EXPECT_EQ(disables, 1);
    EXPECT_EQ(Cell(1, 4), QStringLiteral("1"));
    EXPECT_EQ(Cell(0, 4), QStringLiteral("20"));
}

TEST_F(MainFormTest, CloseDuringReplayWaitsForTheReplay) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "21")});
    TfmMainForm* w = Open();
    bool closed = true;
    ReplayPumpProbe probe(w, [&] { closed = w->close(); });
    w->RecalcStatisticExecute();
    ASSERT_EQ(probe.Hits(), 1);
    EXPECT_FALSE(closed);
    // The replay ran to its end on intact state.
    ASSERT_NE(w->Scorer(), nullptr);
    EXPECT_EQ(w->Scorer()->QSOList().size(), 2u);
    EXPECT_EQ(Cell(1, 7), QStringLiteral("2"));
    // Then the close goes ahead.
    QTest::qWait(20);
    EXPECT_EQ(CurrentWindow(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull());
    EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(MainFormTest, ReleaseDuringReplayDestroysAfterIt) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "21")});
    TfmMainForm* w = Open();
    ReplayPumpProbe probe(w, [&] {
        _Release();
        // A pass of the event loop, as the host's own would make.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    w->RecalcStatisticExecute();
    ASSERT_EQ(probe.Hits(), 1);
    ASSERT_FALSE(window_.isNull());
    EXPECT_EQ(Cell(1, 7), QStringLiteral("2"));
    EXPECT_EQ(CurrentWindow(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(window_.isNull());
}

// Both asked for while the replay pumps, and the host starts afresh at once:
// the put-off close must not reach the released window's successor.
TEST_F(MainFormTest, CloseAndReleaseDuringReplayLeaveTheNextWindowAlone) {
    log_->Insert({Qso("F5AA", "14"), Qso("F5AB", "21")});
    TfmMainForm* w = Open();
    ReplayPumpProbe probe(w, [&] {
        w->close();
        _Release();
    });
    w->RecalcStatisticExecute();
    ASSERT_EQ(probe.Hits(), 1);
    const QPointer<TfmMainForm> released = window_;
    TfmMainForm* next = Open();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, released.data());
    QTest::qWait(20);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(released.isNull());
    EXPECT_EQ(CurrentWindow(), next);
    ASSERT_NE(next->Scorer(), nullptr);
    EXPECT_EQ(Cell(1, 7), QStringLiteral("2"));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(MainFormTest, CloseAtTheFirstPumpSkipsTheReplay) {
    log_->Insert(Qso("F5AA", "14"));
    TfmMainForm* w = Open();
    QTimer::singleShot(0, w, [w] { w->close(); });
    w->RecalcStatisticExecute(); // step 1 handles the close, then finds no state
    EXPECT_EQ(CurrentWindow(), nullptr);
    EXPECT_FALSE(window_.isNull());
    EXPECT_TRUE(errors_.isEmpty());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull());
}

} // namespace
