#include "TCountyItemDelegate.h"

#include <QApplication>
#include <QListWidget>

namespace zelmar {

TCountyItemDelegate::TCountyItemDelegate(QListWidget* list, TDrawHook hook)
    : QStyledItemDelegate(list), list_(list), hook_(std::move(hook)) {}

QStyleOptionViewItem TCountyItemDelegate::DrawOption(const QStyleOptionViewItem& base,
                                                     const QModelIndex& index,
                                                     bool& defaultDraw) const {
    QStyleOptionViewItem option = base;
    initStyleOption(&option, index);
    defaultDraw = true;
    if (hook_)
        hook_(list_->item(index.row()), option, defaultDraw);
    return option;
}

void TCountyItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    bool defaultDraw = true;
    const QStyleOptionViewItem drawn = DrawOption(option, index, defaultDraw);
    if (!defaultDraw)
        return;
    const QWidget* widget = drawn.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &drawn, painter, widget);
}

QSize TCountyItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QStyleOptionViewItem bold = option;
    bold.font.setBold(true);
    return QStyledItemDelegate::sizeHint(bold, index);
}

} // namespace zelmar
