#pragma once

#include "keyer/Keyer.h"
#include "keyer/RigctldLink.h"

#include <QTimer>

namespace qarvel {

// CW through the rig's own keyer, by rigctld's send_morse. Hamlib tells
// nothing when the CW has finished, so the end is reckoned from the speed;
// stop_morse stops it where the rig can (Hamlib's dummy rig, and some
// radios, cannot: the status bar says so).
class RigKeyer : public Keyer {
    Q_OBJECT
public:
    RigKeyer(const RigAddress& address, int wpm, QObject* parent = nullptr);

    void Send(const Transmission& message) override;
    void Stop() override;
    void SetSpeed(int wpm) override;
    bool Sending() const override { return reckoned_.isActive(); }

private:
    void Answered(const QString& what, int code);

    RigctldLink link_;
    int wpm_;
    QTimer reckoned_;
};

} // namespace qarvel
