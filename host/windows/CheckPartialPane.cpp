#include "windows/CheckPartialPane.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>

namespace qarvel {

namespace {

constexpr int kMargin = 6;
constexpr int kGap = 10;

} // namespace

CheckPartialPane::CheckPartialPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CheckPartialPane"));
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(f.pointSize() + 1);
    setFont(f);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // Clicking a call must not take the keyboard from the call field.
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
}

QSize CheckPartialPane::sizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('M')) * 30, 200};
}

QColor CheckPartialPane::ColourOf(CallStatus status, const QPalette& palette) {
    switch (status) {
    case CallStatus::NewMultiplier:
        return QColor(200, 0, 0);
    case CallStatus::Dupe:
        return QColor(150, 150, 150);
    case CallStatus::Points:
        break;
    }
    return palette.color(QPalette::Text);
}

void CheckPartialPane::Show(const QString& typed, std::vector<Entry> partial,
                            std::vector<Entry> neighbours, int partialTotal) {
    typed_ = typed;
    partial_ = std::move(partial);
    neighbours_ = std::move(neighbours);
    partialTotal_ = partialTotal;
    unique_ = typed_.size() >= 2 && partial_.empty() && neighbours_.empty();
    highlighted_ = -1;
    Relayout();
    update();
}

const CheckPartialPane::Entry& CheckPartialPane::At(int index) const {
    const auto i = static_cast<std::size_t>(index);
    return i < partial_.size() ? partial_[i] : neighbours_[i - partial_.size()];
}

QString CheckPartialPane::NextCall() {
    const int count = static_cast<int>(partial_.size() + neighbours_.size());
    if (count == 0)
        return {};
    highlighted_ = (highlighted_ + 1) % count;
    update();
    return At(highlighted_).call;
}

void CheckPartialPane::Relayout() {
    placed_.clear();
    neighboursTop_ = moreTop_ = -1;
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height() + 2;
    const int right = width() - kMargin;
    int x = kMargin, y = kMargin + line; // the top of the row below the heading
    const auto place = [&](int index, const QString& call) {
        const int w = fm.horizontalAdvance(call);
        if (x > kMargin && x + w > right) {
            x = kMargin;
            y += line;
        }
        placed_.push_back({QRect(x, y, w, fm.height()), index});
        x += w + kGap;
    };
    for (std::size_t i = 0; i < partial_.size(); ++i)
        place(static_cast<int>(i), partial_[i].call);
    if (partialTotal_ > static_cast<int>(partial_.size())) {
        y += line;
        moreTop_ = y;
    }
    if (!neighbours_.empty()) {
        y += partial_.empty() ? 0 : line + line / 2;
        neighboursTop_ = y;
        x = kMargin;
        y += line;
        for (std::size_t i = 0; i < neighbours_.size(); ++i)
            place(static_cast<int>(partial_.size() + i), neighbours_[i].call);
    }
}

void CheckPartialPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void CheckPartialPane::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    QFont bold = font();
    bold.setBold(true);
    const QColor muted = palette().color(QPalette::PlaceholderText);
    if (typed_.size() < 2)
        return;
    p.setPen(muted);
    if (unique_) {
        p.setFont(bold);
        p.setPen(QColor(0, 110, 0));
        p.drawText(kMargin, kMargin + fm.ascent(), QStringLiteral("Unique"));
        return;
    }
    p.drawText(kMargin, kMargin + fm.ascent(),
               partial_.empty() ? QStringLiteral("No partial match")
                                : QStringLiteral("Check partial: %1").arg(partialTotal_));
    if (moreTop_ >= 0)
        p.drawText(kMargin, moreTop_ + fm.ascent(),
                   QStringLiteral("... %1 more").arg(partialTotal_ - int(partial_.size())));
    if (neighboursTop_ >= 0)
        p.drawText(kMargin, neighboursTop_ + fm.ascent(), QStringLiteral("N+1"));

    for (const Placed& placed : placed_) {
        const Entry& e = At(placed.index);
        const QColor colour = ColourOf(e.status, palette());
        QFont f = e.status == CallStatus::NewMultiplier ? bold : font();
        f.setStrikeOut(e.status == CallStatus::Dupe);
        p.setFont(f);
        if (placed.index == highlighted_) {
            p.setPen(palette().color(QPalette::Highlight));
            p.drawRect(placed.rect.adjusted(-2, -1, 1, 0));
        }
        if (e.marked >= 0 && e.marked < e.call.size()) {
            // The differing character on a yellow ground.
            const int before = QFontMetrics(f).horizontalAdvance(e.call.left(e.marked));
            const int w = QFontMetrics(f).horizontalAdvance(e.call.at(e.marked));
            p.fillRect(QRect(placed.rect.left() + before, placed.rect.top(), w,
                             placed.rect.height()),
                       QColor(255, 220, 80));
        }
        p.setPen(colour);
        p.drawText(placed.rect.left(), placed.rect.top() + fm.ascent(), e.call);
    }
    p.setFont(font());
}

void CheckPartialPane::mousePressEvent(QMouseEvent* event) {
    for (const Placed& placed : placed_)
        if (placed.rect.adjusted(-3, -2, 3, 2).contains(event->position().toPoint())) {
            highlighted_ = placed.index;
            update();
            emit CallChosen(At(placed.index).call);
            return;
        }
    QWidget::mousePressEvent(event);
}

} // namespace qarvel
