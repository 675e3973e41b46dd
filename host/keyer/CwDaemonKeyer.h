#pragma once

#include "keyer/Keyer.h"
#include "rig/RigAddress.h"

#include <QTimer>

class QUdpSocket;

namespace qarvel {

// CW through cwdaemon (or winkeydaemon in front of a WinKeyer) over its UDP
// protocol: ESC 2nn sets the speed, ESC 4 aborts, and ESC h<tag> before a
// text has cwdaemon answer h<tag> when the text has been keyed, which is
// how qarvel knows a message has finished. A message that gets no answer
// within twice its keying time (and a few seconds) marks the keyer as gone.
class CwDaemonKeyer : public Keyer {
    Q_OBJECT
public:
    static constexpr int kDefaultPort = 6789;
    // cwdaemon takes at most 256 bytes per request.
    static constexpr int kMaxText = 250;

    CwDaemonKeyer(const RigAddress& address, int wpm, QObject* parent = nullptr);
    ~CwDaemonKeyer() override;

    void Send(const Transmission& message) override;
    void Stop() override;
    void SetSpeed(int wpm) override;
    bool Sending() const override { return pending_ > 0; }

    // "host:port", the port 6789 when left out.
    static std::optional<RigAddress> ParseAddress(const QString& text);

private:
    void Write(const QByteArray& datagram);
    void OnReadyRead();
    void Gone(const QString& why);
    int KeyingMs(const QString& text) const;

    RigAddress address_;
    QUdpSocket* socket_ = nullptr;
    int wpm_;
    int tag_ = 0;
    int pending_ = 0; // messages whose end has not been answered
    QTimer deadline_;
    bool gone_ = false;
};

} // namespace qarvel
