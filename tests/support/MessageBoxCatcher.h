#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace zelmar::testing {

// Closes every message box that opens while it lives and keeps its text, so
// that a test of the loaded module (whose error reporter cannot be replaced
// from outside) never blocks on a modal box.
class MessageBoxCatcher {
public:
    MessageBoxCatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    texts_ << box->text();
                    box->done(QMessageBox::Ok);
                }
            }
        });
        timer_.start();
    }
    const QStringList& Texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

} // namespace zelmar::testing
