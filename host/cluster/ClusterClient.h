#pragma once

#include "cluster/ClusterNode.h"
#include "cluster/SpotLine.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <optional>

class QTcpSocket;

namespace qarvel {

// A telnet link to a DX cluster node (DX Spider, AR-Cluster, CC Cluster):
// answers the login prompt ("login:", "call:" or "callsign:") with the
// station's call, passes the operator's commands on, and hands every line
// and every spot in it on as it arrives. Never waits on the socket; a link
// that fails or is dropped is tried again after a pause that doubles up to
// a minute, and is back to a second once the node talks again.
class ClusterClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kLastRetryMs = 60000;
    // A node's lines are under a hundred characters; this much without an
    // end is no line and is dropped.
    static constexpr qsizetype kMaxLineBytes = 4096;
    // Lines handled before the window's other events get their turn.
    static constexpr int kLinesPerTurn = 100;

    explicit ClusterClient(QObject* parent = nullptr);
    ~ClusterClient() override;

    // Connects to `node` from now on; nullopt: no cluster. The same node
    // again changes nothing.
    void SetNode(const std::optional<ClusterNode>& node);
    // The call the login prompt is answered with.
    void SetCall(const QString& call) { call_ = call.trimmed().toUpper(); }
    // Sends one command line ("sh/dx 20"); false without a link.
    bool Send(const QString& command);

    bool IsConnected() const;
    QString StatusText() const { return status_; }
    std::optional<ClusterNode> Node() const { return node_; }

signals:
    void LineReceived(const QString& line);
    void SpotReceived(const qarvel::SpotLine& spot);
    // The link's state in words; `failed` when it is down and retried.
    void StatusChanged(const QString& text, bool failed);

private:
    void Connect();
    void OnReadyRead();
    void TakeLines();
    void Fail(const QString& why);
    void CloseSocket();
    void SetStatus(const QString& text, bool failed);
    void TakeLine(QByteArray line);
    // Telnet option talk (IAC ...) is refused by saying nothing: a node
    // goes on in plain text.
    static QByteArray WithoutTelnetCommands(const QByteArray& bytes);

    std::optional<ClusterNode> node_;
    QString call_;
    QTcpSocket* socket_ = nullptr;
    QTimer deadline_;
    QTimer retry_;
    QTimer more_;
    QByteArray buffer_;
    int retryMs_ = kFirstRetryMs;
    bool loginSent_ = false;
    QString status_;
};

} // namespace qarvel
