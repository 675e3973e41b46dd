#pragma once

class QObject;

namespace zelmar {

// Module code on the stack: an entry point, a handler of one of the
// module's windows, an error box. Error boxes and the recalculation's
// message pumps run event loops in which the host's timers and messages go
// on, so a release or a close may be asked for from under any of them.
// While a scope lives, no window of the module is destroyed.
class TBusyScope {
public:
    TBusyScope();
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

    static bool Busy();
};

// The deferred destruction of a window of the module: it is deleted at the
// next turn of the event loop (or when the deferred deletions are sent)
// that finds no TBusyScope alive; until then it waits. Asking twice is
// harmless.
void DestroyWhenIdle(QObject* window);

} // namespace zelmar
