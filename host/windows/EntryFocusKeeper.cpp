#include "windows/EntryFocusKeeper.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace qarvel {

namespace {

// Long enough for a window manager to map and activate a window, short
// enough that an operator's own click on another window is not overruled.
constexpr qint64 kArmedMs = 1500;

} // namespace

EntryFocusKeeper::EntryFocusKeeper(QWidget* window, QWidget* field)
    : QObject(window), window_(window), field_(field) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &EntryFocusKeeper::FocusWindowChanged);
}

void EntryFocusKeeper::Reclaim() {
    armed_.start();
    window_->activateWindow();
    if (field_)
        field_->setFocus(Qt::OtherFocusReason);
}

void EntryFocusKeeper::FocusWindowChanged(QWindow* focus) {
    if (!armed_.isValid() || armed_.elapsed() > kArmedMs || !focus || !field_)
        return;
    if (focus == window_->windowHandle()) {
        field_->setFocus(Qt::ActiveWindowFocusReason);
        return;
    }
    // A modal dialog opened meanwhile keeps it: the operator answers it first.
    if (QApplication::activeModalWidget())
        return;
    window_->activateWindow();
    field_->setFocus(Qt::OtherFocusReason);
}

} // namespace qarvel
