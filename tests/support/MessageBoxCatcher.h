#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace zelmar::testing {

// Closes every message box that opens while it lives and keeps its text, so
// that a test of the loaded module (whose error reporter cannot be replaced
// from outside) never blocks on a modal box.
class MessageBoxCatcher {
public:
    MessageBoxCatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QList<QMessageBox*> boxes;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    boxes << box;
            for (QMessageBox* box : boxes) {
                // A host timer firing while the box is up; it may keep the
                // box up until a later turn of the box's event loop.
                if (whileUp_ && !whileUp_())
                    continue;
                texts_ << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }
    const QStringList& Texts() const { return texts_; }
    // Runs `action` inside the box's own event loop each time a box is
    // seen; the box is closed when it returns true, else seen again later.
    void WhileUp(std::function<bool()> action) { whileUp_ = std::move(action); }

private:
    QTimer timer_;
    QStringList texts_;
    std::function<bool()> whileUp_;
};

} // namespace zelmar::testing
