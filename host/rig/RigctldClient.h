#pragma once

#include "rig/RigAddress.h"
#include "rig/RigState.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <optional>

class QTcpSocket;

namespace qarvel {

struct RigctldAnswer;

// Reads frequency and mode from Hamlib's rigctld over TCP, a few times a
// second, without ever waiting on the socket: the window goes on whatever
// the daemon does. One question at a time, each with a deadline; a link
// that fails, times out or answers nonsense is dropped and tried again
// after a pause that grows while it keeps failing.
class RigctldClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 250;
    static constexpr int kAnswerTimeoutMs = 1000;
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kLastRetryMs = 5000;
    // A whole answer is a few dozen bytes; this much without its end is not one.
    static constexpr qsizetype kMaxAnswerBytes = 4096;

    explicit RigctldClient(QObject* parent = nullptr);
    ~RigctldClient() override;

    // Reads the rig at `address` from now on; nullopt: no rig. The same
    // address again changes nothing.
    void SetAddress(const std::optional<RigAddress>& address);
    const RigState& State() const { return state_; }
    // Tunes the rig (set_freq) as soon as the link is free; a newer tune
    // replaces one not yet sent. Nothing happens without a link.
    void Tune(qint64 hertz);

signals:
    // Only on a change: a new frequency or mode, or a change of the link.
    void StateChanged(const qarvel::RigState& state);

private:
    enum class Ask { Nothing, Frequency, Mode, Tune };

    void Connect(bool again);
    void OnConnected();
    void Poll();
    void Send(Ask ask);
    void OnReadyRead();
    void OnDeadline();
    void Answered(Ask ask, const RigctldAnswer& answer);
    void Fail(RigState::Link link, const QString& detail);
    void CloseSocket();
    RigState Base(RigState::Link link) const;
    void Publish(const RigState& state);

    std::optional<RigAddress> address_;
    QTcpSocket* socket_ = nullptr;
    QTimer poll_;
    QTimer deadline_;
    QTimer retry_;
    Ask asked_ = Ask::Nothing;
    QByteArray buffer_;
    qint64 hertz_ = 0; // from get_freq, while get_mode is asked
    qint64 tuneHertz_ = 0; // a tune waiting for the link to be free
    int retryMs_ = kFirstRetryMs;
    RigState state_;
};

} // namespace qarvel
