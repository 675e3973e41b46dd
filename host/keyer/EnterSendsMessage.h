#pragma once

#include <QString>
#include <vector>

namespace qarvel {

// Enter Sends Message as the peers have it: what one Enter sends, from the
// set in use, the call and the exchange received, and what this QSO has
// already been sent. Run: CQ; his call and the exchange; AGN while nothing
// came back; TU and the QSO is logged. S&P: my call (again while nothing
// came back); my exchange and the QSO is logged.
class EnterSendsMessage {
public:
    enum class Set { Run, SearchPounce };

    struct Step {
        std::vector<int> keys;   // the messages, F1 = 1, sent one after the other
        bool toReceived = false; // the cursor goes to the exchange received
        bool logIt = false;      // the QSO is logged as they go out
    };

    // The messages of the Run set that ESM uses.
    static constexpr int kCq = 1, kExchange = 2, kThanks = 3, kMyCall = 4, kHisCall = 5,
                         kAgain = 8;

    // What Enter does now; the step is taken as done (call Reset when the
    // QSO is logged or the line cleared).
    Step Next(Set set, const QString& call, const QString& received);
    void Reset() { answered_.clear(); }

private:
    // The call this QSO's first message went to: a changed call starts over.
    QString answered_;
};

} // namespace qarvel
