#include "keyer/CwDaemonKeyer.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace qarvel {

namespace {

const char kEsc = '\x1b';

} // namespace

std::optional<RigAddress> CwDaemonKeyer::ParseAddress(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    return RigAddress::Parse(t.contains(QLatin1Char(':')) ? t
                                                           : t + QStringLiteral(":%1").arg(kDefaultPort));
}

CwDaemonKeyer::CwDaemonKeyer(const RigAddress& address, int wpm, QObject* parent)
    : Keyer(parent), address_(address), wpm_(wpm) {
    socket_ = new QUdpSocket(this);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        Gone(QStringLiteral("no answer from cwdaemon at %1").arg(address_.Text()));
    });
    connect(socket_, &QUdpSocket::readyRead, this, &CwDaemonKeyer::OnReadyRead);
    // A connected UDP socket hears of a port nobody listens on (ICMP).
    connect(socket_, &QUdpSocket::errorOccurred, this, [this] {
        Gone(QStringLiteral("cwdaemon at %1: %2").arg(address_.Text(), socket_->errorString()));
    });
    // The name is looked up without waiting; datagrams written before the
    // socket is connected are not lost, they wait in Write's queue.
    socket_->connectToHost(address_.host, address_.port);
    emit StatusChanged(QStringLiteral("cwdaemon %1").arg(address_.Text()), false);
    SetSpeed(wpm_);
}

CwDaemonKeyer::~CwDaemonKeyer() = default;

void CwDaemonKeyer::Write(const QByteArray& datagram) {
    if (socket_->state() == QAbstractSocket::ConnectedState) {
        socket_->write(datagram);
        return;
    }
    // Still looking up the name, or it failed: send once connected.
    auto* once = new QMetaObject::Connection;
    *once = connect(socket_, &QUdpSocket::connected, this, [this, datagram, once] {
        disconnect(*once);
        delete once;
        socket_->write(datagram);
    });
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        socket_->connectToHost(address_.host, address_.port);
}

int CwDaemonKeyer::KeyingMs(const QString& text) const {
    // PARIS is 50 dot lengths; a character is about 10 of them.
    return static_cast<int>(text.size()) * 10 * 1200 / std::max(wpm_, 1);
}

void CwDaemonKeyer::Send(const Transmission& message) {
    const QByteArray text = message.text.left(kMaxText).toLatin1();
    if (text.isEmpty())
        return;
    ++tag_;
    Write(QByteArray(1, kEsc) + 'h' + QByteArray::number(tag_));
    Write(text);
    ++pending_;
    deadline_.start(2 * KeyingMs(message.text) * pending_ + 3000);
}

void CwDaemonKeyer::Stop() {
    Write(QByteArray(1, kEsc) + '4');
    const bool was = pending_ > 0;
    pending_ = 0;
    deadline_.stop();
    if (was)
        emit Finished();
}

void CwDaemonKeyer::SetSpeed(int wpm) {
    wpm_ = wpm;
    Write(QByteArray(1, kEsc) + '2' + QByteArray::number(wpm));
}

void CwDaemonKeyer::OnReadyRead() {
    while (socket_->hasPendingDatagrams()) {
        const QByteArray reply = socket_->receiveDatagram().data().trimmed();
        if (gone_) {
            gone_ = false;
            emit StatusChanged(QStringLiteral("cwdaemon %1").arg(address_.Text()), false);
        }
        // "h<tag>" when a text is keyed, "break" when one was aborted.
        if (reply.startsWith('h') && pending_ > 0) {
            if (reply.mid(1).toInt() == tag_) {
                pending_ = 0;
                deadline_.stop();
                emit Finished();
            }
        }
    }
}

void CwDaemonKeyer::Gone(const QString& why) {
    pending_ = 0;
    deadline_.stop();
    gone_ = true;
    emit StatusChanged(why, true);
    emit Finished();
}

} // namespace qarvel
