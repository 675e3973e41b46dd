#include "MainFormFixture.h"
#include "ui/GlyphList.h"

#include <QAccessible>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <optional>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

const QRgb kBackground = qRgb(253, 255, 206);
const QRgb kSilver = qRgb(192, 192, 192);

// A text of exactly `width` pixels in `font`, built from runs of two
// characters; empty when the font offers none.
QString TextOfWidth(const QFont& font, int width) {
    const QFontMetrics metrics(font);
    const QString chars = QStringLiteral("0123456789HMWilx.");
    for (QChar a : chars)
        for (QChar b : chars)
            for (int n = 1; n <= 14; ++n)
                for (int m = 0; m <= 14; ++m) {
                    const QString text = QString(n, a) + QString(m, b);
                    if (metrics.horizontalAdvance(text) == width)
                        return text;
                }
    return {};
}

// Leftmost column in rows [top, bottom) that differs from `background`,
// searching from `fromX`.
std::optional<int> FirstInk(const QImage& image, int fromX, int top, int bottom, QRgb background) {
    for (int x = fromX; x < image.width(); ++x)
        for (int y = top; y < bottom; ++y)
            if (image.pixel(x, y) != background)
                return x;
    return std::nullopt;
}

// How far right of its drawing origin the first ink of `text` lies.
int InkOffset(const QFont& font, const QString& text) {
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(50, 5 + QFontMetrics(font).ascent()), text);
    }
    return *FirstInk(image, 0, 0, image.height(), qRgb(255, 255, 255)) - 50;
}

TEST_F(MainFormTest, WindowIsFixedSizeAlwaysOnTopWithoutMaximise) {
    TfmMainForm* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->size(), QSize(328, 193));
    EXPECT_EQ(w->minimumSize(), QSize(328, 193));
    EXPECT_EQ(w->maximumSize(), QSize(328, 193));
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w->pos(), QPoint(1024, 233));
    EXPECT_EQ(w->font().pixelSize(), 11);
}

TEST_F(MainFormTest, PartsSitWhereDesigned) {
    Open();
    struct Expected {
        const char* name;
        QRect geometry;
    };
    for (const Expected& e :
         {Expected{"StringGrid1", {0, 0, 328, 149}}, Expected{"Panel1", {0, 149, 328, 44}},
          Expected{"RzBitBtn1", {120, 18, 102, 25}}, Expected{"RzBitBtn2", {224, 18, 102, 25}}}) {
        auto* part = Part<QWidget>(e.name);
        ASSERT_NE(part, nullptr) << e.name;
        EXPECT_EQ(part->geometry(), e.geometry) << e.name;
        EXPECT_TRUE(part->isVisible()) << e.name;
    }
    EXPECT_EQ(Part<QWidget>("Label1")->pos(), QPoint(8, 0));
    EXPECT_EQ(Part<QWidget>("Label1")->parentWidget(), Part<QWidget>("Panel1"));
    EXPECT_EQ(Part<QWidget>("RzBitBtn1")->parentWidget(), Part<QWidget>("Panel1"));
    EXPECT_NE(Part<QObject>("LogQuery"), nullptr);
    EXPECT_NE(Part<QObject>("FormStorage1"), nullptr);
    EXPECT_NE(Part<QObject>("ImageList1"), nullptr);
    EXPECT_EQ(Action()->text(), QStringLiteral("Recalc Statistic"));
    // Bound to no control: the Recalc button stays enabled on its own.
    EXPECT_TRUE(Action()->associatedObjects().isEmpty());
}

TEST_F(MainFormTest, GridShowsEveryCellWithoutScrollBars) {
    Open();
    QTableWidget* grid = Grid();
    EXPECT_EQ(grid->frameWidth(), 2);
    EXPECT_EQ(grid->viewport()->size(), QSize(324, 145));
    EXPECT_EQ(grid->rowCount(), 8);
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_FALSE(grid->horizontalHeader()->isVisible());
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(grid->visualRect(grid->model()->index(r, c)), QRect(c * 65, r * 18, 64, 17))
                << c << "," << r;
}

TEST_F(MainFormTest, GridColoursAtKnownPixels) {
    Open(); // empty log: the band rows stay empty
    const QImage pixels = GridPixels(Grid());
    struct Probe {
        QPoint at;
        QRgb colour;
        const char* what;
    };
    for (const Probe& p : {Probe{{100, 26}, kBackground, "inside the empty cell (1, 1)"},
                           Probe{{64, 26}, kSilver, "line right of column 0"},
                           Probe{{259, 60}, kSilver, "line right of column 3"},
                           Probe{{100, 17}, kSilver, "line below row 0"},
                           Probe{{100, 143}, kSilver, "line below row 7"},
                           Probe{{323, 26}, kBackground, "last pixel column is cell, not line"},
                           Probe{{100, 144}, kBackground, "below the last row"},
                           Probe{{64, 17}, kSilver, "crossing of two lines"}})
        EXPECT_EQ(QColor(pixels.pixel(p.at)), QColor(p.colour)) << p.what;

    // The sunken border: dark above and left, light below and right.
    const QImage whole = Grid()->grab().toImage();
    const int dark = qGray(whole.pixel(60, 0));
    const int light = qGray(whole.pixel(60, 148));
    EXPECT_LT(dark, light);
    EXPECT_LT(qGray(whole.pixel(0, 60)), qGray(whole.pixel(327, 60)));
    EXPECT_NE(whole.pixel(1, 60), kBackground);
}

TEST_F(MainFormTest, PanelAndScoreLineLook) {
    log_->Insert(Qso("F5AA", "14"));
    Open();
    auto* panel = Part<QWidget>("Panel1");
    auto* label = Part<QLabel>("Label1");
    const QImage image = panel->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(2, 40)), QColor(kSilver));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(kSilver)); // no bevel
    EXPECT_EQ(QColor(image.pixel(327, 43)), QColor(kSilver));

    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    const QFontInfo info(label->font());
    EXPECT_TRUE(info.bold());
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
    EXPECT_EQ(label->font().pixelSize(), 13);
    // Sized to its text: all of the score line fits.
    EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(label->text()));
    EXPECT_EQ(label->height(), label->sizeHint().height());
    EXPECT_LE(label->height(), 18);
}

TEST_F(MainFormTest, ButtonsHaveGlyphsFaceColourAndHotTracking) {
    Open();
    // The pointer first enters the window over the grid.
    QTest::mouseMove(window_, QPoint(10, 10));
    QApplication::processEvents();
    for (const char* name : {"RzBitBtn1", "RzBitBtn2"}) {
        auto* button = Part<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_EQ(button->iconSize(), QSize(16, 16));
        const QImage normal = button->grab().toImage();
        EXPECT_EQ(QColor(normal.pixel(4, 3)), QColor(157, 157, 157)) << name;

        QTest::mouseMove(button, QPoint(50, 12));
        QApplication::processEvents();
        ASSERT_TRUE(button->underMouse()) << name;
        const QImage hot = button->grab().toImage();
        EXPECT_NE(hot.pixel(4, 3), normal.pixel(4, 3))
            << name << " not highlighted under the mouse";
        QTest::mouseMove(window_, QPoint(10, 10));
        QApplication::processEvents();
        EXPECT_EQ(button->grab().toImage().pixel(4, 3), normal.pixel(4, 3)) << name;
    }
    EXPECT_EQ(Part<QPushButton>("RzBitBtn1")->text(), QStringLiteral("Recalc"));
    EXPECT_EQ(Part<QPushButton>("RzBitBtn2")->text(), QStringLiteral("Multipliers"));

    // Tab order: Recalc, then Multipliers; the grid never takes the focus.
    TfmMainForm* w = window_;
    QApplication::setActiveWindow(w);
    Part<QPushButton>("RzBitBtn1")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Part<QPushButton>("RzBitBtn1")->hasFocus());
    QTest::keyClick(Part<QPushButton>("RzBitBtn1"), Qt::Key_Tab);
    EXPECT_TRUE(Part<QPushButton>("RzBitBtn2")->hasFocus());
    QTest::keyClick(Part<QPushButton>("RzBitBtn2"), Qt::Key_Tab);
    EXPECT_TRUE(Part<QPushButton>("RzBitBtn1")->hasFocus());
    EXPECT_EQ(Grid()->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainFormTest, TextsStartWhereTheDrawingRuleSays) {
    TfmMainForm* w = Open();
    const QFont font = Grid()->font();
    struct Case {
        int width, column, row;
        int expectedOrigin; // left edge of the text in viewport coordinates
    };
    // Column 1 starts at 65: 27 pixels start 32 - 13 = 19 in, 70 start
    // 32 - 35 = 3 pixels left of the cell.
    for (const Case& c : {Case{27, 1, 1, 65 + 19}, Case{70, 1, 1, 65 - 3}, Case{27, 4, 7, 260 + 19},
                          Case{28, 2, 3, 130 + 18}}) {
        const QString text = TextOfWidth(font, c.width);
        ASSERT_FALSE(text.isEmpty()) << "no text of " << c.width << " pixels in this font";
        w->SetCell(c.column, c.row, text.toStdString());
        const int ink = c.expectedOrigin + InkOffset(font, text);
        const int top = c.row * 18;

        // Straight from the handler, on a blank canvas.
        QImage canvas(324, 145, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter p(&canvas);
            w->StringGrid1DrawCell(p, c.column, c.row, QRect(), QStyle::State_Selected);
        }
        const QRgb white = qRgb(255, 255, 255);
        const int from = std::min(c.expectedOrigin, c.column * 65) - 5;
        EXPECT_EQ(FirstInk(canvas, from, top, top + 17, white).value_or(-1),
                  std::min(ink, c.column * 65))
            << c.width;
        if (ink >= c.column * 65) {
            EXPECT_EQ(FirstInk(canvas, c.column * 65, top, top + 17, kBackground).value_or(-1), ink)
                << c.width;
        }

        // And as the grid paints itself: not clipped to the cell.
        const QImage painted = GridPixels(Grid());
        EXPECT_EQ(FirstInk(painted, c.expectedOrigin - 3, top, top + 17, kBackground).value_or(-1),
                  ink)
            << c.width;
        w->SetCell(c.column, c.row, "");
    }
}

TEST_F(MainFormTest, EmptyCellIsOnlyFilled) {
    TfmMainForm* w = Open();
    QImage canvas(324, 145, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    {
        QPainter p(&canvas);
        w->StringGrid1DrawCell(p, 2, 3, QRect(0, 0, 5, 5), QStyle::State_Selected);
    }
    const QRect cell(130, 54, 64, 17);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            ASSERT_EQ(canvas.pixel(x, y), cell.contains(x, y) ? kBackground : qRgb(255, 0, 0))
                << x << "," << y;
}

TEST_F(MainFormTest, GridIgnoresMouseAndKeyboard) {
    TfmMainForm* w = Open();
    QTableWidget* grid = Grid();
    QWidget* viewport = grid->viewport();
    const QImage before = GridPixels(grid);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 5; ++c) {
            const QPoint centre = grid->visualRect(grid->model()->index(r, c)).center();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
        }
    for (int key :
         {Qt::Key_Right, Qt::Key_Down, Qt::Key_F2, Qt::Key_A, Qt::Key_Return, Qt::Key_End})
        QTest::keyClick(grid, static_cast<Qt::Key>(key));
    QWheelEvent wheel(QPointF(100, 50), viewport->mapToGlobal(QPointF(100, 50)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QApplication::processEvents();

    EXPECT_FALSE(grid->hasFocus());
    EXPECT_TRUE(grid->findChildren<QLineEdit*>().isEmpty()); // no edit field
    EXPECT_TRUE(grid->selectedItems().isEmpty());
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(Cell(0, 4), QStringLiteral("20"));
    // No highlighted cell, no edit field: the grid looks as it did.
    EXPECT_EQ(GridPixels(grid), before);
    EXPECT_TRUE(grid->isEnabled()); // enabled, so the text is not greyed
    (void)w;
}

TEST_F(MainFormTest, GridTextIsWindowTextColoured) {
    TfmMainForm* w = Open();
    w->SetCell(1, 2, "8888");
    const QImage pixels = GridPixels(Grid());
    int darkest = 255;
    for (int y = 36; y < 53; ++y)
        for (int x = 65; x < 129; ++x)
            darkest = std::min(darkest, qGray(pixels.pixel(x, y)));
    EXPECT_LT(darkest, 40); // black ink, not disabled grey
}

TEST_F(MainFormTest, FiguresAndScoreLineAreAccessible) {
    log_->Insert({Qso("F5AA", "14"), Qso("JA1AA", "14", "AS", "JA")});
    Open();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(Grid());
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->state().disabled);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 8);
    EXPECT_EQ(cells->columnCount(), 5);
    auto text = [&](int row, int column) {
        QAccessibleInterface* cell = cells->cellAt(row, column);
        return cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>");
    };
    EXPECT_EQ(text(0, 3), QStringLiteral("Multipliers"));
    EXPECT_EQ(text(4, 0), QStringLiteral("20"));
    EXPECT_EQ(text(4, 1), QStringLiteral("2"));
    EXPECT_EQ(text(7, 0), QStringLiteral("Total"));
    EXPECT_EQ(text(7, 2), Cell(2, 7));

    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(Part<QLabel>("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->role(), QAccessible::StaticText);
    EXPECT_EQ(label->text(QAccessible::Name), ScoreLine());
    EXPECT_TRUE(ScoreLine().startsWith(QStringLiteral("Score: ")));
}

TEST(GlyphListTest, CalculatorGlyph) {
    const QImage g = TGlyphList::DrawCalculator().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(g.size(), QSize(16, 16));
    const QColor navy(0, 0, 128);
    for (int y = 0; y < 16; ++y) {
        for (int x : {0, 1, 14, 15})
            EXPECT_EQ(qAlpha(g.pixel(x, y)), 0) << x << "," << y; // 12 wide, the rest clear
        EXPECT_EQ(QColor(g.pixel(2, y)), navy);
        EXPECT_EQ(QColor(g.pixel(13, y)), navy);
    }
    for (int x = 2; x < 14; ++x) {
        EXPECT_EQ(QColor(g.pixel(x, 0)), navy); // full 16 high
        EXPECT_EQ(QColor(g.pixel(x, 15)), navy);
    }
    EXPECT_EQ(QColor(g.pixel(3, 1)), QColor(Qt::white));
    // The display strip spans the face near the top.
    EXPECT_EQ(QColor(g.pixel(4, 2)), QColor(0, 128, 128));
    EXPECT_EQ(QColor(g.pixel(11, 3)), QColor(0, 128, 128));
    // Below the display: a red mark at the left, then four rows of three keys.
    int redX = -1, redY = -1;
    for (int y = 4; y < 15 && redX < 0; ++y)
        for (int x = 3; x < 13; ++x)
            if (QColor(g.pixel(x, y)) == QColor(255, 0, 0)) {
                redX = x;
                redY = y;
                break;
            }
    EXPECT_GE(redX, 3);
    EXPECT_LT(redX, 8);
    int keyRows = 0;
    for (int y = redY + 1; y < 15; ++y) {
        int runs = 0;
        for (int x = 3; x < 13; ++x)
            if (QColor(g.pixel(x, y)) == navy && QColor(g.pixel(x - 1, y)) != navy)
                ++runs;
        if (runs > 0) {
            EXPECT_EQ(runs, 3) << "row " << y;
            ++keyRows;
        }
    }
    EXPECT_EQ(keyRows, 4);
}

TEST(GlyphListTest, CardsGlyph) {
    const QImage g = TGlyphList::DrawCards().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(g.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(g.pixel(15, 0)), 0);
    EXPECT_EQ(qAlpha(g.pixel(0, 15)), 0);
    // Find the cards by their opaque outline: three 12 x 9 rectangles, each
    // 2 pixels right of and below the one behind it.
    int top = -1;
    for (int y = 0; y < 16 && top < 0; ++y)
        if (qAlpha(g.pixel(0, y)) == 255)
            top = y;
    ASSERT_GE(top, 0);
    for (int card = 0; card < 3; ++card) {
        const QPoint origin(2 * card, top + 2 * card);
        EXPECT_EQ(qAlpha(g.pixel(origin)), 255) << card;
        EXPECT_EQ(qAlpha(g.pixel(origin + QPoint(11, 8))), 255) << card;
    }
    EXPECT_EQ(qAlpha(g.pixel(15, top + 4 + 8)), 255);
    EXPECT_EQ(qAlpha(g.pixel(15, top + 4 + 9)), 0);
    // Each card shades light to dark green; the lowest is whole, in front.
    const QPoint front(4, top + 4);
    const QColor light(g.pixel(front + QPoint(1, 1)));
    const QColor dark(g.pixel(front + QPoint(10, 7)));
    EXPECT_GT(light.green(), light.red());
    EXPECT_GT(dark.green(), dark.red());
    EXPECT_GT(light.lightness(), dark.lightness() + 40);
    EXPECT_EQ(QColor(g.pixel(front + QPoint(1, 1))), QColor(g.pixel(QPoint(1, top + 1))));
}

TEST(GlyphListTest, ListHoldsBothGlyphs) {
    TGlyphList list;
    EXPECT_EQ(list.objectName(), QStringLiteral("ImageList1"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Glyph(0).toImage(), TGlyphList::DrawCalculator().toImage());
    EXPECT_EQ(list.Glyph(1).toImage(), TGlyphList::DrawCards().toImage());
    EXPECT_TRUE(list.Glyph(0).hasAlphaChannel());
    EXPECT_TRUE(list.Glyph(2).isNull());
}

} // namespace
