#include "rig/RigctldClient.h"

#include "rig/RigctldAnswer.h"

#include <QTcpSocket>
#include <algorithm>
#include <cmath>

namespace qarvel {

namespace {

QString CommandName(int ask) {
    switch (ask) {
    case 1:
        return QStringLiteral("get_freq");
    case 2:
        return QStringLiteral("get_mode");
    default:
        return QStringLiteral("set_freq");
    }
}

} // namespace

RigctldClient::RigctldClient(QObject* parent) : QObject(parent) {
    poll_.setInterval(kPollMs);
    deadline_.setSingleShot(true);
    retry_.setSingleShot(true);
    connect(&poll_, &QTimer::timeout, this, &RigctldClient::Poll);
    connect(&deadline_, &QTimer::timeout, this, &RigctldClient::OnDeadline);
    connect(&retry_, &QTimer::timeout, this, [this] { Connect(true); });
}

RigctldClient::~RigctldClient() {
    CloseSocket();
}

void RigctldClient::SetAddress(const std::optional<RigAddress>& address) {
    if (address == address_)
        return;
    CloseSocket();
    retry_.stop();
    retryMs_ = kFirstRetryMs;
    address_ = address;
    if (address_)
        Connect(false);
    else
        Publish(RigState{});
}

RigState RigctldClient::Base(RigState::Link link) const {
    RigState s;
    s.link = link;
    s.address = address_ ? address_->Text() : QString();
    return s;
}

void RigctldClient::Connect(bool again) {
    CloseSocket();
    RigState s = Base(RigState::Link::Connecting);
    s.again = again;
    Publish(s);
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &RigctldClient::OnConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &RigctldClient::OnReadyRead);
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this] { Fail(RigState::Link::Lost, socket_ ? socket_->errorString() : QString()); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        Fail(RigState::Link::Lost, QStringLiteral("rigctld closed the connection"));
    });
    deadline_.start(kConnectTimeoutMs);
    socket_->connectToHost(address_->host, address_->port);
}

void RigctldClient::OnConnected() {
    deadline_.stop();
    Publish(Base(RigState::Link::Connected));
    poll_.start();
    Poll();
}

void RigctldClient::Poll() {
    if (socket_ && asked_ == Ask::Nothing)
        Send(tuneHertz_ > 0 ? Ask::Tune : Ask::Frequency);
}

void RigctldClient::Tune(qint64 hertz) {
    if (hertz <= 0 || !socket_ || state_.link == RigState::Link::Connecting)
        return;
    tuneHertz_ = hertz;
    Poll();
}

void RigctldClient::Send(Ask ask) {
    asked_ = ask;
    // '+': the extended answers, which end in a line of their own.
    if (ask == Ask::Tune) {
        socket_->write("+F " + QByteArray::number(tuneHertz_) + '\n');
        tuneHertz_ = 0;
    } else {
        socket_->write(ask == Ask::Frequency ? "+f\n" : "+m\n");
    }
    deadline_.start(kAnswerTimeoutMs);
}

void RigctldClient::OnReadyRead() {
    buffer_ += socket_->readAll();
    if (asked_ == Ask::Nothing) {
        Fail(RigState::Link::BadAnswer, QStringLiteral("data nobody asked for"));
        return;
    }
    const QString command = CommandName(static_cast<int>(asked_));
    const RigctldAnswer answer = RigctldAnswer::Parse(buffer_, command);
    switch (answer.kind) {
    case RigctldAnswer::Kind::Incomplete:
        if (buffer_.size() > kMaxAnswerBytes)
            Fail(RigState::Link::BadAnswer,
                 QStringLiteral("%1 bytes without an end in answer to %2")
                     .arg(buffer_.size())
                     .arg(command));
        return;
    case RigctldAnswer::Kind::Bad:
        Fail(RigState::Link::BadAnswer, answer.problem);
        return;
    case RigctldAnswer::Kind::Done:
        break;
    }
    if (answer.length != buffer_.size()) {
        Fail(RigState::Link::BadAnswer, QStringLiteral("more than one answer to %1").arg(command));
        return;
    }
    deadline_.stop();
    buffer_.clear();
    const Ask ask = asked_;
    asked_ = Ask::Nothing;
    Answered(ask, answer);
}

void RigctldClient::Answered(Ask ask, const RigctldAnswer& answer) {
    if (ask == Ask::Tune) {
        // The new frequency shows with the next read; a refused tune shows
        // as the rig staying where it was.
        Send(Ask::Frequency);
        return;
    }
    if (ask == Ask::Frequency) {
        if (answer.code != 0) {
            // The daemon is there but the radio is not (off, or its cable
            // out): ask again at the next poll, no need to reconnect.
            RigState s = Base(RigState::Link::RigError);
            s.detail = QStringLiteral("rigctld answers get_freq with RPRT %1 (%2)")
                           .arg(answer.code)
                           .arg(RigctldAnswer::ErrorWords(answer.code));
            Publish(s);
            return;
        }
        bool ok = false;
        const double hertz = answer.values.value(QStringLiteral("Frequency")).toDouble(&ok);
        if (!ok || !(hertz > 0 && hertz < 1e12)) {
            Fail(RigState::Link::BadAnswer, QStringLiteral("no frequency in answer to get_freq"));
            return;
        }
        hertz_ = std::llround(hertz);
        Send(Ask::Mode);
        return;
    }
    RigState s = Base(RigState::Link::Connected);
    s.hertz = hertz_;
    // A rig that cannot tell its mode still tells its band.
    if (answer.code == 0)
        s.mode = answer.values.value(QStringLiteral("Mode"));
    retryMs_ = kFirstRetryMs;
    Publish(s);
}

void RigctldClient::OnDeadline() {
    if (state_.link == RigState::Link::Connecting)
        Fail(RigState::Link::TimedOut,
             QStringLiteral("no connection within %1 s").arg(kConnectTimeoutMs / 1000));
    else
        Fail(RigState::Link::TimedOut, QStringLiteral("no whole answer to %1 within %2 s")
                                           .arg(CommandName(static_cast<int>(asked_)))
                                           .arg(kAnswerTimeoutMs / 1000));
}

void RigctldClient::Fail(RigState::Link link, const QString& detail) {
    CloseSocket();
    RigState s = Base(link);
    s.detail = detail;
    s.retrySeconds = (retryMs_ + 999) / 1000;
    Publish(s);
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, kLastRetryMs);
}

void RigctldClient::CloseSocket() {
    poll_.stop();
    deadline_.stop();
    asked_ = Ask::Nothing;
    tuneHertz_ = 0;
    buffer_.clear();
    if (!socket_)
        return;
    // Its last signals (the abort's among them) must not reach this object.
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

void RigctldClient::Publish(const RigState& state) {
    if (state == state_)
        return;
    state_ = state;
    emit StateChanged(state_);
}

} // namespace qarvel
