#include "CellDrawDelegate.h"

#include <QPainter>

namespace zelmar {

TCellDrawDelegate::TCellDrawDelegate(TDrawCell drawCell, QObject* parent)
    : QStyledItemDelegate(parent), drawCell_(std::move(drawCell)) {}

void TCellDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    painter->save();
    drawCell_(*painter, index.column(), index.row(), option.rect, option.state);
    painter->restore();
}

QWidget* TCellDrawDelegate::createEditor(QWidget*, const QStyleOptionViewItem&,
                                         const QModelIndex&) const {
    return nullptr;
}

} // namespace zelmar
