// The county items of the multipliers list and their colouring.
#include "DomListFixture.h"
#include "ui/TCountyItemDelegate.h"

#include <QImage>
#include <QLocale>
#include <QTest>

namespace zelmar::testing {
namespace {

QStringList Captions(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QListWidget* List(TfmDomList* window) {
    return window->findChild<QListWidget*>(QStringLiteral("LV1"));
}

QListWidgetItem* Item(TfmDomList* window, const QString& caption) {
    const auto found = List(window)->findItems(caption, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// What the delegate hands the style to draw the item with.
struct Drawn {
    QColor color;
    bool bold = false;
    QFont font;
};

Drawn DrawnAs(TfmDomList* window, const QString& caption) {
    QListWidget* list = List(window);
    QListWidgetItem* item = Item(window, caption);
    EXPECT_NE(item, nullptr) << caption.toStdString();
    if (!item)
        return {};
    QStyleOptionViewItem base;
    base.initFrom(list->viewport());
    base.font = list->font();
    bool defaultDraw = false;
    const QStyleOptionViewItem option =
        window->ItemDelegate()->DrawOption(base, list->indexFromItem(item), defaultDraw);
    EXPECT_TRUE(defaultDraw);
    return {option.palette.color(QPalette::Text), option.font.bold(), option.font};
}

using DomListItemsTest = DomListFixture;

TEST_F(DomListItemsTest, ItemsAreTheTrimmedShortTextsAfterTheFirstEqualsSign) {
    SetDomTable({"AB=AB", "B=B", "X", "AB=Alba", "AB=Bistrita", "CJ=", "SB=  S  x", "TM=\tTM ",
                 "VS=V=S", ""});
    TfmDomList* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Captions(List(window)),
              (QStringList{"", "AB", "Alba", "B", "Bist", "S", "TM", "V=S"}));
}

TEST_F(DomListItemsTest, NoCountyLinesGiveAnEmptyListAndWorkingButtons) {
    SetDomTable({"X", "no county here"});
    TfmDomList* window = Open();
    EXPECT_EQ(List(window)->count(), 0);
    Button(window, 2)->click();
    EXPECT_EQ(window->CurrentBandText(), "3.5");
}

TEST_F(DomListItemsTest, SortsWithTheLocaleCollationAndAgainWhenACaptionIsSet) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetDomTable({"1=AC", "2=ab", "3=Ab", "4=B"});
    TfmDomList* window = Open();
    // Code point order would put "AC" and "Ab" before "ab".
    EXPECT_EQ(Captions(List(window)), (QStringList{"ab", "Ab", "AC", "B"}));
    Item(window, "ab")->setText("Z");
    EXPECT_EQ(Captions(List(window)), (QStringList{"Ab", "AC", "B", "Z"}));
    QLocale::setDefault(previous);
}

struct ColourCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> worked; // band, exchange
    int band;                                                // 0: none chosen
    bool abMarked;
};

class DomListColourTest : public DomListFixture,
                          public ::testing::WithParamInterface<ColourCase> {};

TEST_P(DomListColourTest, MarksACountyWhenAWorkedKeyHoldsBandAndCode) {
    const ColourCase& c = GetParam();
    SetDomTable({"AB=AB", "B=B", "CJ=CJ"});
    for (const auto& [band, exchange] : c.worked)
        Record(band, exchange);
    SetStoredBand(0);
    TfmDomList* window = Open();
    window->SelectBand(c.band);

    const Drawn ab = DrawnAs(window, "AB");
    EXPECT_EQ(ab.color, c.abMarked ? QColor(255, 0, 0) : QColor(0, 0, 0));
    EXPECT_EQ(ab.bold, c.abMarked);
    // "B" is the tail of "AB" but never the whole code between the bars.
    const Drawn b = DrawnAs(window, "B");
    EXPECT_EQ(b.color, QColor(0, 0, 0));
    EXPECT_FALSE(b.bold);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DomListColourTest,
    ::testing::Values(ColourCase{"WorkedOnTheChosenBand", {{"14", "001AB"}}, 5, true},
                      ColourCase{"WorkedOnAnotherBand", {{"14", "001AB"}}, 7, false},
                      ColourCase{"ThreeFiveIsNotTwentyEight", {{"3.5", "001AB"}}, 9, false},
                      ColourCase{"FourteenIsNotEighteen", {{"14", "001AB"}}, 6, false},
                      ColourCase{"FourteenIsNotTen", {{"14", "001AB"}}, 4, false},
                      ColourCase{"LeadingBlankInTheBandStillMarks", {{" 14", "001AB"}}, 5, true},
                      ColourCase{"TrailingBlankInTheBandDoesNot", {{"14 ", "001AB"}}, 5, false},
                      ColourCase{"FoundAfterOtherKeys",
                                 {{"7", "001CJ"}, {"21", "002CJ"}, {"14", "003AB"}},
                                 5,
                                 true},
                      ColourCase{"NoBandChosenMarksAnyBand", {{"3.5", "001AB"}}, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DomListItemsTest, WithNothingWorkedItemsKeepTheListsOwnFont) {
    SetDomTable({"AB=AB", "B=B"});
    TfmDomList* window = Open();
    window->SelectBand(5);
    const Drawn ab = DrawnAs(window, "AB");
    EXPECT_EQ(ab.font, List(window)->font());
    EXPECT_EQ(ab.color, List(window)->palette().color(QPalette::Text));
}

TEST_F(DomListItemsTest, FontIsResetBeforeEachItem) {
    SetDomTable({"AB=AB", "B=B"});
    Record("14", "001AB");
    TfmDomList* window = Open();
    window->SelectBand(5);
    QListWidget* list = List(window);

    // A canvas left red and bold by the item before.
    QStyleOptionViewItem canvas;
    canvas.font = list->font();
    canvas.font.setBold(true);
    canvas.font.setItalic(true);
    canvas.palette.setColor(QPalette::Text, QColor(255, 0, 0));
    bool defaultDraw = true;
    window->LV1CustomDrawItem(list, Item(window, "B"), canvas, defaultDraw);
    EXPECT_EQ(canvas.palette.color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_FALSE(canvas.font.bold());
    EXPECT_FALSE(canvas.font.italic());
    EXPECT_TRUE(defaultDraw);

    // Without an item nothing is touched.
    window->LV1CustomDrawItem(list, nullptr, canvas, defaultDraw);
    EXPECT_EQ(canvas.palette.color(QPalette::Text), QColor(0, 0, 0));
}

// The colours reach the screen: draw the list and look for red pixels in
// each item's rectangle.
TEST_F(DomListItemsTest, DrawsWorkedCountiesInRed) {
    SetDomTable({"AB=AB", "B=B", "CJ=CJ"});
    Record("21", "001AB");
    Record("21", "002CJ");
    Record("14", "003B");
    SetStoredBand(7);
    TfmDomList* window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QListWidget* list = List(window);
    const QImage image = list->viewport()->grab().toImage();

    auto hasRed = [&](const QString& caption) {
        const QRect r = list->visualItemRect(Item(window, caption)).intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor p = image.pixelColor(x * image.width() / list->viewport()->width(),
                                                  y * image.height() / list->viewport()->height());
                if (p.red() > 200 && p.green() < 80 && p.blue() < 80)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(hasRed("AB"));
    EXPECT_TRUE(hasRed("CJ"));
    EXPECT_FALSE(hasRed("B"));
}

} // namespace
} // namespace zelmar::testing
