#include "keyer/RigctldLink.h"

#include <QTcpSocket>

namespace qarvel {

RigctldLink::RigctldLink(const RigAddress& address, QObject* parent)
    : QObject(parent), address_(address) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("rigctld at %1 did not answer within %2 s")
                 .arg(address_.Text())
                 .arg(kAnswerTimeoutMs / 1000));
    });
}

RigctldLink::~RigctldLink() {
    if (socket_)
        socket_->disconnect(this);
}

void RigctldLink::Command(const QByteArray& command, Done done) {
    queue_.enqueue({command, std::move(done)});
    Next();
}

void RigctldLink::Next() {
    if (asked_ || queue_.isEmpty())
        return;
    if (!socket_) {
        socket_ = new QTcpSocket(this);
        connect(socket_, &QTcpSocket::connected, this, &RigctldLink::Next);
        connect(socket_, &QTcpSocket::readyRead, this, &RigctldLink::OnReadyRead);
        connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
            Fail(QStringLiteral("rigctld at %1: %2").arg(address_.Text(), socket_->errorString()));
        });
        socket_->connectToHost(address_.host, address_.port);
        deadline_.start(kConnectTimeoutMs);
        return;
    }
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return;
    asked_ = true;
    buffer_.clear();
    socket_->write('+' + queue_.head().command + '\n');
    deadline_.start(kAnswerTimeoutMs);
}

void RigctldLink::OnReadyRead() {
    buffer_ += socket_->readAll();
    if (!asked_) {
        buffer_.clear();
        return;
    }
    // The extended answer ends in its RPRT line.
    const qsizetype at = buffer_.indexOf("RPRT ");
    if (at < 0 || buffer_.indexOf('\n', at) < 0)
        return;
    const int code = buffer_.mid(at + 5, buffer_.indexOf('\n', at) - at - 5).trimmed().toInt();
    deadline_.stop();
    asked_ = false;
    const Pending done = queue_.dequeue();
    if (done.done)
        done.done(code);
    Next();
}

void RigctldLink::Fail(const QString& why) {
    deadline_.stop();
    asked_ = false;
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    // What was asked is dropped: a PTT or a text sent late would be worse.
    const QQueue<Pending> dropped = std::exchange(queue_, {});
    emit Failed(why);
    for (const Pending& p : dropped)
        if (p.done)
            p.done(kNoAnswer);
}

} // namespace qarvel
