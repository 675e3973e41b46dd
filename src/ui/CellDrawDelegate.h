#pragma once

#include <QStyle>
#include <QStyledItemDelegate>
#include <functional>

namespace zelmar {

// Hands the painting of every cell of a grid to the window's own draw-cell
// handler, and never opens an editor.
class TCellDrawDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using TDrawCell = std::function<void(QPainter& canvas, int column, int row, const QRect& rect,
                                         QStyle::State state)>;

    TCellDrawDelegate(TDrawCell drawCell, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    TDrawCell drawCell_;
};

} // namespace zelmar
