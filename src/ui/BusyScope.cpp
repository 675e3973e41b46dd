#include "BusyScope.h"

#include <QObject>
#include <QPointer>
#include <utility>
#include <vector>

namespace zelmar {

namespace {

int& Depth() {
    static int depth = 0;
    return depth;
}

// Windows whose destruction came due while module code was on the stack.
std::vector<QPointer<QObject>>& Waiting() {
    static std::vector<QPointer<QObject>> windows;
    return windows;
}

// Carries one destruction request. Qt delivers an object's deferred deletion
// once; a window whose deletion arrived at a bad moment could not be given
// another. So the window itself never gets one: a fresh carrier does, and
// when it goes it deletes its window, or leaves it waiting when module code
// is on the stack again.
class TWindowReaper : public QObject {
public:
    explicit TWindowReaper(QObject* window) : window_(window) {}
    ~TWindowReaper() override {
        if (!window_)
            return;
        if (TBusyScope::Busy()) {
            Waiting().push_back(window_);
            return;
        }
        // Its destruction saves its placement, which may show an error box.
        const TBusyScope busy;
        delete window_.data();
    }

private:
    QPointer<QObject> window_;
};

} // namespace

TBusyScope::TBusyScope() {
    ++Depth();
}

TBusyScope::~TBusyScope() {
    if (--Depth() > 0 || Waiting().empty())
        return;
    const std::vector<QPointer<QObject>> due = std::exchange(Waiting(), {});
    for (const QPointer<QObject>& window : due)
        if (window)
            DestroyWhenIdle(window);
}

bool TBusyScope::Busy() {
    return Depth() > 0;
}

void DestroyWhenIdle(QObject* window) {
    if (window)
        (new TWindowReaper(window))->deleteLater();
}

} // namespace zelmar
