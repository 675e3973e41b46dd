#include "TBandButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zelmar {

TBandButton::TBandButton(int number, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), number_(number) {
    setCheckable(true);
    setAutoDefault(false);
    // Clicking focuses the button; Tab never reaches it.
    setFocusPolicy(Qt::ClickFocus);
    // The style receives State_MouseOver and highlights the face.
    setAttribute(Qt::WA_Hover);
}

void TBandButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state & QStyle::State_HasFocus;
    // The focus rectangle is drawn below, only for the buttons that have one.
    option.state &= ~QStyle::State_HasFocus;

    p.drawControl(QStyle::CE_PushButtonBevel, option);
    const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (downPattern_ && isChecked()) {
        // A checkerboard in the darker shade, so the down button stands out
        // on a light face.
        p.fillRect(face, QBrush(palette().color(QPalette::Mid), Qt::Dense4Pattern));
    }
    p.drawControl(QStyle::CE_PushButtonLabel, option);
    if (focusRectangle_ && focused) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = face;
        focus.backgroundColor = palette().color(QPalette::Button);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void TBandButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace zelmar
