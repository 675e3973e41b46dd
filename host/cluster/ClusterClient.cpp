#include "cluster/ClusterClient.h"

#include <QTcpSocket>
#include <algorithm>

namespace qarvel {

ClusterClient::ClusterClient(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    retry_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("no connection within %1 s").arg(kConnectTimeoutMs / 1000));
    });
    connect(&retry_, &QTimer::timeout, this, &ClusterClient::Connect);
    more_.setSingleShot(true);
    more_.setInterval(0);
    connect(&more_, &QTimer::timeout, this, [this] {
        if (socket_)
            TakeLines();
    });
}

ClusterClient::~ClusterClient() {
    CloseSocket();
}

void ClusterClient::SetNode(const std::optional<ClusterNode>& node) {
    if (node == node_)
        return;
    CloseSocket();
    retry_.stop();
    retryMs_ = kFirstRetryMs;
    node_ = node;
    if (node_)
        Connect();
    else
        SetStatus(QString(), false);
}

bool ClusterClient::IsConnected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

bool ClusterClient::Send(const QString& command) {
    if (!IsConnected())
        return false;
    socket_->write(command.toLatin1() + "\r\n");
    return true;
}

void ClusterClient::Connect() {
    CloseSocket();
    if (!node_)
        return;
    SetStatus(QStringLiteral("Cluster: connecting to %1").arg(node_->Text()), false);
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        deadline_.stop();
        SetStatus(QStringLiteral("Cluster: %1").arg(node_->Text()), false);
    });
    connect(socket_, &QTcpSocket::readyRead, this, &ClusterClient::OnReadyRead);
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this] { Fail(socket_ ? socket_->errorString() : QString()); });
    connect(socket_, &QTcpSocket::disconnected, this,
            [this] { Fail(QStringLiteral("the node closed the connection")); });
    deadline_.start(kConnectTimeoutMs);
    socket_->connectToHost(node_->host, node_->port);
}

QByteArray ClusterClient::WithoutTelnetCommands(const QByteArray& bytes) {
    if (!bytes.contains('\xff'))
        return bytes;
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c != 0xff) {
            out += bytes[i];
            continue;
        }
        const auto command = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (command == 0xff) {
            ++i; // an escaped 0xff
        } else if (command >= 251 && command <= 254) {
            i += 2; // WILL, WONT, DO, DONT and their option
        } else {
            ++i;
        }
    }
    return out;
}

void ClusterClient::OnReadyRead() {
    buffer_ += WithoutTelnetCommands(socket_->readAll());
    TakeLines();
}

void ClusterClient::TakeLines() {
    qsizetype start = 0;
    for (int taken = 0; taken < kLinesPerTurn; ++taken) {
        const qsizetype end = buffer_.indexOf('\n', start);
        if (end < 0)
            break;
        TakeLine(buffer_.mid(start, end - start));
        start = end + 1;
        if (!socket_)
            return; // a handler dropped the link
    }
    buffer_.remove(0, start);
    if (buffer_.contains('\n')) {
        // A burst: the rest after the window's other events.
        more_.start();
        return;
    }
    // The login prompt has no line end: the node waits after it.
    const QByteArray prompt = buffer_.trimmed().toLower();
    if (!loginSent_ && !call_.isEmpty() &&
        (prompt.endsWith("login:") || prompt.endsWith("call:") || prompt.endsWith("callsign:"))) {
        emit LineReceived(QString::fromLatin1(buffer_.trimmed()));
        buffer_.clear();
        loginSent_ = true;
        socket_->write(call_.toLatin1() + "\r\n");
        return;
    }
    if (buffer_.size() > kMaxLineBytes)
        buffer_.clear();
}

void ClusterClient::TakeLine(QByteArray line) {
    while (line.endsWith('\r'))
        line.chop(1);
    const QString text = QString::fromLatin1(line);
    // A node talks: the link works, and the next loss starts the pauses anew.
    retryMs_ = kFirstRetryMs;
    emit LineReceived(text);
    if (const auto spot = SpotLine::Parse(text))
        emit SpotReceived(*spot);
}

void ClusterClient::Fail(const QString& why) {
    CloseSocket();
    if (!node_)
        return;
    SetStatus(QStringLiteral("Cluster %1 lost: %2; again in %3 s")
                  .arg(node_->Text(), why)
                  .arg((retryMs_ + 999) / 1000),
              true);
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, kLastRetryMs);
}

void ClusterClient::CloseSocket() {
    deadline_.stop();
    more_.stop();
    buffer_.clear();
    loginSent_ = false;
    if (!socket_)
        return;
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

void ClusterClient::SetStatus(const QString& text, bool failed) {
    status_ = text;
    emit StatusChanged(text, failed);
}

} // namespace qarvel
