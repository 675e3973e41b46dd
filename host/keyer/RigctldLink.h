#pragma once

#include "rig/RigAddress.h"

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QTimer>
#include <functional>

class QTcpSocket;

namespace qarvel {

// A connection of its own to rigctld for what qarvel tells the rig to do
// (send_morse, stop_morse, PTT, the keyer's speed), so that a command never
// waits behind the poll of frequency and mode. Commands go one at a time
// in the extended protocol ('+', answers end in "RPRT n"), each with a
// deadline; the link connects when first needed and again after a failure.
class RigctldLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kAnswerTimeoutMs = 2000;
    static constexpr int kConnectTimeoutMs = 3000;

    // Called with rigctld's code (0 done, negative a Hamlib error), or
    // with kNoAnswer when the link failed.
    using Done = std::function<void(int code)>;
    static constexpr int kNoAnswer = 1000;

    explicit RigctldLink(const RigAddress& address, QObject* parent = nullptr);
    ~RigctldLink() override;

    // `command` without the leading '+' and the line end, e.g. "T 1".
    void Command(const QByteArray& command, Done done = {});
    const RigAddress& Address() const { return address_; }

signals:
    // The link failed: why, fit for the status bar.
    void Failed(const QString& why);

private:
    struct Pending {
        QByteArray command;
        Done done;
    };
    void Next();
    void OnReadyRead();
    void Fail(const QString& why);

    RigAddress address_;
    QTcpSocket* socket_ = nullptr;
    QQueue<Pending> queue_;
    bool asked_ = false;
    QByteArray buffer_;
    QTimer deadline_;
};

} // namespace qarvel
