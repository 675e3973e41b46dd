#pragma once

#include <QStyledItemDelegate>
#include <functional>

class QListWidget;
class QListWidgetItem;

namespace zelmar {

// Draws the items of the multipliers list. Before each item it hands the
// drawing option (font and text colour) to a hook that may change it, and
// draws the item with what the hook left, unless the hook turns the default
// drawing off.
class TCountyItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using TDrawHook =
        std::function<void(QListWidgetItem* item, QStyleOptionViewItem& canvas, bool& defaultDraw)>;

    TCountyItemDelegate(QListWidget* list, TDrawHook hook);

    // The option the item at `index` is drawn with, after the hook.
    QStyleOptionViewItem DrawOption(const QStyleOptionViewItem& base, const QModelIndex& index,
                                    bool& defaultDraw) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Sized for the bold font, so that a marked county is never elided.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QListWidget* list_;
    TDrawHook hook_;
};

} // namespace zelmar
