#include "contest/MessageBoxWatcher.h"

#include <QApplication>
#include <QMessageBox>

namespace qarvel {

MessageBoxWatcher::MessageBoxWatcher(QObject* parent) : QObject(parent) {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &MessageBoxWatcher::CloseOpenBoxes);
    timer_.start();
}

void MessageBoxWatcher::CloseOpenBoxes() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box && box->isVisible()) {
            texts_ << box->text();
            box->done(QMessageBox::Ok);
        }
    }
}

} // namespace qarvel
