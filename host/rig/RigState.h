#pragma once

#include <QString>

namespace qarvel {

// What qarvel knows of the rig at one moment, and how the status bar says it.
struct RigState {
    enum class Link {
        Off,        // no rig set: band and mode are the operator's
        Connecting, // to rigctld, for the first time or again
        Connected,  // rigctld answers; `hertz` and `mode` once it has
        RigError,   // rigctld answers, but with an error from the rig
        Lost,       // the connection failed or was closed
        TimedOut,   // no whole answer in time
        BadAnswer,  // an answer that is not rigctld's
    };

    Link link = Link::Off;
    QString address;      // "host:port"
    qint64 hertz = 0;     // the rig's frequency; 0 before the first answer
    QString mode;         // as Hamlib names it ("CWR", "USB")
    QString detail;       // for the failures: what went wrong
    bool again = false;   // Connecting after a failure
    int retrySeconds = 0; // for Lost, TimedOut, BadAnswer: when the next try is

    // Frequency and mode are the rig's as it is now.
    bool HasReading() const { return link == Link::Connected && hertz > 0; }
    bool Failed() const {
        return link == Link::Lost || link == Link::TimedOut || link == Link::BadAnswer ||
               link == Link::RigError;
    }
    QString StatusText() const;

    friend bool operator==(const RigState&, const RigState&) = default;
};

} // namespace qarvel
