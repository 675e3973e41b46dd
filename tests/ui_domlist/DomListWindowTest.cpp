// The multipliers window: its layout, the band buttons, following the
// recorded QSOs, and its life beside the statistics window.
#include "DomListFixture.h"
#include "TempSqliteLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace zelmar::testing {
namespace {

using DomListWindowTest = DomListFixture;

QWidget* Part(TfmDomList* window, const char* name) {
    return window->findChild<QWidget*>(QString::fromLatin1(name));
}

TEST_F(DomListWindowTest, OpensWithTheDesignedLayout) {
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), "Multipliers");
    EXPECT_EQ(window->size(), QSize(327, 141));
    EXPECT_EQ(window->pos(), QPoint(1020, 164));
    EXPECT_EQ(window->parentWidget(), main_.data());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(window->minimumSize(), window->maximumSize()) << "resizable";
    window->resize(20000, 20000);
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    EXPECT_LE(window->width(), desktop.width());
    EXPECT_LE(window->height(), desktop.height());
    window->resize(327, 141);

    EXPECT_EQ(Part(window, "Panel2")->geometry(), QRect(0, 0, 327, 18));
    EXPECT_EQ(Part(window, "LV1")->geometry(), QRect(0, 18, 327, 120));
    EXPECT_EQ(Part(window, "spl1")->geometry(), QRect(0, 138, 327, 3));
    EXPECT_EQ(Part(window, "spl1")->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_NE(window->findChild<TFormStorage*>(QStringLiteral("FormStorage1")), nullptr);

    for (int n = 1; n <= 9; ++n) {
        TBandButton* b = Button(window, n);
        ASSERT_NE(b, nullptr) << n;
        EXPECT_EQ(b->Number(), n);
        EXPECT_EQ(b->focusPolicy() & Qt::TabFocus, 0) << "Tab must not reach button " << n;
        EXPECT_TRUE(b->testAttribute(Qt::WA_Hover));
        EXPECT_EQ(b->DownPattern(), n != 4);
        EXPECT_EQ(b->FocusRectangle(), n != 4);
    }
    EXPECT_EQ(Part(window, "LV1")->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(DomListWindowTest, ButtonsCarryTheBandNamesWithTenLastInTheBar) {
    TfmDomList* window = Open();
    QStringList order;
    for (QObject* child : Part(window, "Panel2")->children())
        if (auto* b = qobject_cast<TBandButton*>(child))
            order << b->text();
    EXPECT_EQ(order, (QStringList{"1.8", "3.5", "7", "14", "18", "21", "24", "28", "10"}));
}

struct BarCase {
    int width, w, h, lastWidth;
};

class DomListBarTest : public DomListFixture, public ::testing::WithParamInterface<BarCase> {};

TEST_P(DomListBarTest, LaysTheButtonsOutInBarOrder) {
    const BarCase& c = GetParam();
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QWidget* bar = Part(window, "Panel2");
    if (c.width >= 327) {
        // Widening the window widens the bar, which lays itself out again.
        window->resize(c.width, 141);
        QCoreApplication::processEvents();
    } else {
        bar->resize(c.width, bar->height());
    }
    ASSERT_EQ(bar->width(), c.width);

    QList<TBandButton*> buttons;
    for (QObject* child : bar->children())
        if (auto* b = qobject_cast<TBandButton*>(child))
            buttons << b;
    ASSERT_EQ(buttons.size(), 9);
    for (int j = 0; j < 9; ++j) {
        const int width = j == 8 ? c.lastWidth : c.w;
        EXPECT_EQ(buttons[j]->geometry(), QRect(j * c.w, 0, width, c.h)) << "button " << j;
    }
    EXPECT_EQ(buttons.last(), Button(window, 4));
}

INSTANTIATE_TEST_SUITE_P(Widths, DomListBarTest,
                         ::testing::Values(BarCase{327, 36, 17, 35}, BarCase{400, 44, 17, 44},
                                           BarCase{8, 0, 17, 4}, BarCase{3, 0, 17, 0}),
                         [](const auto& info) {
                             return "Width" + std::to_string(info.param.width);
                         });

TEST_F(DomListWindowTest, EmptyBarIsLeftAlone) {
    TfmDomList* window = Open();
    QFrame empty;
    empty.resize(100, 18);
    window->Panel2Resize(&empty); // nothing to place, nothing to fail
    QWidget* bar = Part(window, "Panel2");
    const QRect before = Button(window, 1)->geometry();
    bar->setFixedHeight(18);
    window->Panel2Resize(nullptr);
    EXPECT_EQ(Button(window, 1)->geometry(), before);
}

struct FirstOpeningCase {
    const char* name;
    QVariant stored;
};

class DomListFirstOpeningTest : public DomListFixture,
                                public ::testing::WithParamInterface<FirstOpeningCase> {};

TEST_P(DomListFirstOpeningTest, KeepsTheDesignedButtonAndNoBandText) {
    SetDomTable({"AB=AB", "CJ=CJ", "B=B"});
    Record("3.5", "001AB");
    Record("28", "002CJ");
    SetStoredBand(GetParam().stored);
    TfmDomList* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(DownButton(window), 4);
    EXPECT_EQ(window->CurrentBandText(), "");

    // The search text is then just "|AB|": worked on any band marks it.
    QListWidget* list = window->findChild<QListWidget*>(QStringLiteral("LV1"));
    auto bold = [&](const char* caption) {
        QStyleOptionViewItem canvas;
        bool defaultDraw = true;
        window->LV1CustomDrawItem(list, list->findItems(caption, Qt::MatchExactly).value(0), canvas,
                                  defaultDraw);
        return canvas.font.bold();
    };
    EXPECT_TRUE(bold("AB"));
    EXPECT_TRUE(bold("CJ"));
    EXPECT_FALSE(bold("B"));

    // The first click ends that state.
    Button(window, 9)->click();
    EXPECT_EQ(DownButton(window), 9);
    EXPECT_EQ(window->CurrentBandText(), "28");
    EXPECT_FALSE(bold("AB"));
    EXPECT_TRUE(bold("CJ"));
}

INSTANTIATE_TEST_SUITE_P(StoredBands, DomListFirstOpeningTest,
                         ::testing::Values(FirstOpeningCase{"Zero", QVariant(0)},
                                           FirstOpeningCase{"ZeroText", QVariant("0")},
                                           FirstOpeningCase{"NeverStored", QVariant()},
                                           FirstOpeningCase{"NotANumber", QVariant("abc")},
                                           FirstOpeningCase{"NoSuchBand", QVariant("50")},
                                           FirstOpeningCase{"Negative", QVariant(-3)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DomListWindowTest, OpensOnTheStoredBand) {
    SetStoredBand(QStringLiteral("7"));
    TfmDomList* window = Open();
    EXPECT_EQ(DownButton(window), 7);
    EXPECT_EQ(window->CurrentBandText(), "21");
    EXPECT_EQ(StoredBand().toInt(), 7);
}

TEST_F(DomListWindowTest, ClickOnAnUpButtonChoosesItsBand) {
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::mouseClick(Button(window, 2), Qt::LeftButton);
    EXPECT_EQ(DownButton(window), 2);
    EXPECT_EQ(window->CurrentBandText(), "3.5");
    EXPECT_EQ(StoredBand().toInt(), 2);
    EXPECT_TRUE(Button(window, 2)->hasFocus());
}

TEST_F(DomListWindowTest, ClickOnTheDownButtonKeepsItDownAndRunsTheHandler) {
    SetStoredBand(5);
    TfmDomList* window = Open();
    ASSERT_EQ(DownButton(window), 5);
    SetStoredBand(99); // only the handler puts the band back
    QSignalSpy clicks(Button(window, 5), &QAbstractButton::clicked);
    QTest::mouseClick(Button(window, 5), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(DownButton(window), 5);
    EXPECT_EQ(StoredBand().toInt(), 5);

    // The space key is a click as well.
    SetStoredBand(99);
    QTest::keyClick(Button(window, 5), Qt::Key_Space);
    EXPECT_EQ(DownButton(window), 5);
    EXPECT_EQ(StoredBand().toInt(), 5);
}

TEST_F(DomListWindowTest, EnterRunsTheHandlerOfTheFocusedButton) {
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    TBandButton* b = Button(window, 6);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(DownButton(window), 6);
    EXPECT_EQ(window->CurrentBandText(), "18");
    SetStoredBand(99);
    QTest::keyClick(b, Qt::Key_Enter);
    EXPECT_EQ(DownButton(window), 6);
    EXPECT_EQ(StoredBand().toInt(), 6);
}

TEST_F(DomListWindowTest, SelectBandIsNoClick) {
    TfmDomList* window = Open();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (int n = 1; n <= 9; ++n)
        spies.push_back(std::make_unique<QSignalSpy>(Button(window, n), &QAbstractButton::clicked));
    for (int n : {3, 3, 9, 1})
        window->SelectBand(n);
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(DownButton(window), 1);
    EXPECT_EQ(window->CurrentBandText(), "1.8");
    EXPECT_EQ(StoredBand().toInt(), 1);
}

TEST_F(DomListWindowTest, NumberWithoutButtonKeepsTheBand) {
    TfmDomList* window = Open();
    window->SelectBand(8);
    for (int n : {0, 10, -1, 50}) {
        window->SelectBand(n);
        EXPECT_EQ(DownButton(window), 8) << n;
        EXPECT_EQ(window->CurrentBandText(), "24") << n;
    }
}

TEST_F(DomListWindowTest, FollowsTheBandOfEachRecordedQSO) {
    SetDomTable({"AB=AB"});
    TfmDomList* window = Open();
    window->SelectBand(7);
    for (const char* band : {"50", "", "  ", "144", "1,8"}) {
        Record(band, "001AB");
        EXPECT_EQ(DownButton(window), 7) << band;
        EXPECT_EQ(window->CurrentBandText(), "21") << band;
        EXPECT_EQ(StoredBand().toInt(), 7) << band;
    }
    Record(" 14 ", "002AB");
    EXPECT_EQ(DownButton(window), 5);
    EXPECT_EQ(window->CurrentBandText(), "14");
    EXPECT_EQ(StoredBand().toInt(), 5);
    Record("10", "003AB");
    EXPECT_EQ(DownButton(window), 4);
}

TEST_F(DomListWindowTest, ReplayLeavesItOnTheBandOfTheLastRow) {
    TempSqliteLog log;
    // Read back ordered by call: YO3C on 21 comes last.
    log.Insert(std::vector<LogRow>{{"YO3C", "21", "CW", "EU", "599003AB", "YO", "YO"},
                                   {"YO1A", "14", "CW", "EU", "599001AB", "YO", "YO"},
                                   {"YO2B", "50", "CW", "EU", "599002CJ", "YO", "YO"},
                                   {"DL1X", "3.5", "SSB", "eu", "599001", "DL", "DL"}});
    SetDomTable({"AB=AB", "B=B", "CJ=CJ"});
    TfmDomList* window = Open();
    window->SelectBand(1);
    main_->RecalcStatisticExecute();
    EXPECT_EQ(DownButton(window), 7);
    EXPECT_EQ(window->CurrentBandText(), "21");
    EXPECT_EQ(StoredBand().toInt(), 7);

    QListWidget* list = window->findChild<QListWidget*>(QStringLiteral("LV1"));
    QStyleOptionViewItem canvas;
    bool defaultDraw = true;
    window->LV1CustomDrawItem(list, list->findItems("AB", Qt::MatchExactly).value(0), canvas,
                              defaultDraw);
    EXPECT_TRUE(canvas.font.bold());
}

TEST_F(DomListWindowTest, ReopensOnTheBandChosenLast) {
    TfmDomList* window = Open();
    main_->btnOBL1Click(); // a second click while open does nothing
    EXPECT_EQ(MultipliersWindow().data(), window);
    EXPECT_EQ(main_->findChildren<TfmDomList*>().size(), 1);

    Button(window, 8)->click();
    QPointer<TfmDomList> closed = window;
    window->close();
    EXPECT_TRUE(MultipliersWindow().isNull());
    DeliverDeferredDeletes();
    EXPECT_TRUE(closed.isNull());

    TfmDomList* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DownButton(again), 8);
    EXPECT_EQ(again->CurrentBandText(), "24");
}

TEST_F(DomListWindowTest, MinimiseAndRestoreKeepTheBand) {
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->SelectBand(3);
    SetStoredBand(6); // a new FormShow would choose 18
    window->showMinimized();
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->CurrentBandText(), "7");
}

TEST_F(DomListWindowTest, GoesWithTheStatisticsWindow) {
    SetDomTable({"AB=AB"});
    Record("14", "001AB");
    QPointer<TfmDomList> window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->update();

    // As _Release does it: deferred destruction of the statistics window.
    main_->deleteLater();
    DeliverDeferredDeletes();
    EXPECT_TRUE(main_.isNull());
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(MultipliersWindow().isNull());
    QCoreApplication::processEvents(); // no paint of a destroyed window

    // A later statistics window opens a new one and follows bands safely.
    main_ = new TfmMainForm(RecordBuilder().Ptr());
    main_->Scorer()->ShowDXList();
    SetDomTable({"AB=AB"});
    TfmDomList* fresh = Open();
    ASSERT_NE(fresh, nullptr);
    Record("21", "002AB");
    EXPECT_EQ(fresh->CurrentBandText(), "21");
}

TEST_F(DomListWindowTest, PaintsSafelyAfterTheStatisticsWindowClosed) {
    SetDomTable({"AB=AB"});
    Record("14", "001AB");
    QPointer<TfmDomList> window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // A close that reaches the statistics window releases its scoring; the
    // multipliers window lives on until the deferred destruction.
    main_->close();
    ASSERT_EQ(main_->Scorer(), nullptr);
    ASSERT_FALSE(window.isNull());
    window->SelectBand(5);
    window->repaint();
    DeliverDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace zelmar::testing
