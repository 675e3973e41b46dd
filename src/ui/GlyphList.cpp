#include "GlyphList.h"

#include <QLinearGradient>
#include <QPainter>

namespace zelmar {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kLightGreen(144, 238, 144);
const QColor kDarkGreen(0, 100, 0);
const QColor kCardEdge(0, 64, 0);

QPixmap EmptyGlyph() {
    QPixmap pixmap(TGlyphList::kGlyphSize, TGlyphList::kGlyphSize);
    pixmap.setDevicePixelRatio(1.0);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

TGlyphList::TGlyphList(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ImageList1"));
    glyphs_[kCalculator] = DrawCalculator();
    glyphs_[kCards] = DrawCards();
}

QPixmap TGlyphList::Glyph(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return glyphs_[static_cast<std::size_t>(index)];
}

QPixmap TGlyphList::DrawCalculator() {
    QPixmap pixmap = EmptyGlyph();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Body: 12 wide (x 2..13), the full 16 high; the outline is the body's
    // outermost ring of pixels.
    p.fillRect(2, 0, 12, 16, kNavy);
    p.fillRect(3, 1, 10, 14, Qt::white);
    // Display strip across the top.
    p.fillRect(4, 2, 8, 2, kTeal);
    // The red mark below the display, at the left.
    p.fillRect(4, 5, 2, 1, kRed);
    // Four rows of three keys, one white pixel between keys and rows.
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            p.fillRect(4 + 3 * column, 7 + 2 * row, 2, 1, kNavy);
    return pixmap;
}

QPixmap TGlyphList::DrawCards() {
    QPixmap pixmap = EmptyGlyph();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    constexpr int kWidth = 12;
    constexpr int kHeight = 9;
    // Painted from the back: the last (lowest) card ends up in front.
    for (int card = 0; card < 3; ++card) {
        const int left = 2 * card;
        const int top = 1 + 2 * card;
        QLinearGradient shade(left + 1, top + 1, left + kWidth - 2, top + kHeight - 2);
        shade.setColorAt(0.0, kLightGreen);
        shade.setColorAt(1.0, kDarkGreen);
        p.fillRect(left, top, kWidth, kHeight, kCardEdge);
        p.fillRect(left + 1, top + 1, kWidth - 2, kHeight - 2, shade);
    }
    return pixmap;
}

} // namespace zelmar
