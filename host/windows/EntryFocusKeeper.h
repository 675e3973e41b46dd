#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace qarvel {

// Brings the keyboard back to the entry line's call field. A window manager
// activates a newly shown window (the module's statistics or multipliers
// window, a dialog's parent after it closes) some time after the show has
// returned; so for a short while after Reclaim, any other window taking
// the focus hands it back.
class EntryFocusKeeper : public QObject {
    Q_OBJECT
public:
    EntryFocusKeeper(QWidget* window, QWidget* field);

    void Reclaim();

private:
    void FocusWindowChanged(QWindow* focus);

    QWidget* window_;
    QPointer<QWidget> field_;
    QElapsedTimer armed_;
};

} // namespace qarvel
