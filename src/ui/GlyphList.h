#pragma once

#include <QObject>
#include <QPixmap>
#include <array>

namespace zelmar {

// The statistics window's two 16 x 16 button glyphs, drawn in code so that
// no image file has to travel with the module. Transparent outside the
// drawing.
class TGlyphList : public QObject {
    Q_OBJECT
public:
    static constexpr int kGlyphSize = 16;
    static constexpr int kCalculator = 0; // on "Recalc"
    static constexpr int kCards = 1;      // on "Multipliers"

    explicit TGlyphList(QObject* parent = nullptr);

    int Count() const { return static_cast<int>(glyphs_.size()); }
    QPixmap Glyph(int index) const;

    static QPixmap DrawCalculator();
    static QPixmap DrawCards();

private:
    std::array<QPixmap, 2> glyphs_;
};

} // namespace zelmar
