#include "windows/ScreenFit.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace qarvel {

QSize SizeFittingScreen(const QWidget* window, QSize wanted) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QRect frame = window->frameGeometry();
    const QRect inside = window->geometry();
    QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                     frame.right() - inside.right(), frame.bottom() - inside.bottom());
    // A title bar and borders as most window managers draw them.
    if (margins.isNull())
        margins = QMargins(8, 32, 8, 8);
    const QSize room = screen->availableGeometry().size().shrunkBy(margins);
    return wanted.boundedTo(room).expandedTo(window->minimumSizeHint().boundedTo(room));
}

} // namespace qarvel
