#include "keyer/EnterSendsMessage.h"

namespace qarvel {

EnterSendsMessage::Step EnterSendsMessage::Next(Set set, const QString& call,
                                                const QString& received) {
    Step step;
    if (call.isEmpty()) {
        answered_.clear();
        if (set == Set::Run)
            step.keys = {kCq};
        return step;
    }
    const bool started = answered_ == call;
    if (!started) {
        answered_ = call;
        step.toReceived = true;
        step.keys = set == Set::Run ? std::vector<int>{kHisCall, kExchange}
                                    : std::vector<int>{kMyCall};
        return step;
    }
    if (received.isEmpty()) {
        step.toReceived = true;
        step.keys = {set == Set::Run ? kAgain : kMyCall};
        return step;
    }
    step.keys = {set == Set::Run ? kThanks : kExchange};
    step.logIt = true;
    return step;
}

} // namespace qarvel
