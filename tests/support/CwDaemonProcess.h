#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace zelmar::testing {

// Debian's cwdaemon on a free loopback UDP port with its null device and
// null sound system: it keys nothing but keeps the real timing and answers
// as it would with a radio. What it was asked is read back from its log.
class CwDaemonProcess {
public:
    CwDaemonProcess() {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        port_ = probe.localPort();
    }
    ~CwDaemonProcess() { Stop(); }
    CwDaemonProcess(const CwDaemonProcess&) = delete;
    CwDaemonProcess& operator=(const CwDaemonProcess&) = delete;

    static bool Installed() {
        return !QStandardPaths::findExecutable(QStringLiteral("cwdaemon"), {"/usr/sbin", "/usr/bin"})
                    .isEmpty();
    }

    // True once it answers the end of a one-letter text.
    bool Start() {
        process_.start(
            QStandardPaths::findExecutable(QStringLiteral("cwdaemon"), {"/usr/sbin", "/usr/bin"}),
            {"-n", "-d", "null", "-x", "n", "-s", "60", "-y", "i", "-p", QString::number(port_),
             "-f", LogPath()});
        if (!process_.waitForStarted(10000))
            return false;
        QUdpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        return QTest::qWaitFor(
            [&] {
                socket.write("\x1bhup");
                socket.write("E");
                return socket.waitForReadyRead(300) && socket.readAll().startsWith("hup");
            },
            10000);
    }

    void Stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        process_.waitForFinished(10000);
    }

    // The texts it was asked to key, in order, and its escape requests
    // ("<ESC>4", "<ESC>258"), as its log gives them.
    QStringList Texts() const { return Matches(QStringLiteral("^cwdaemon:II: request: \"(.*)\"$")); }
    QStringList Escapes() const {
        return Matches(QStringLiteral("^cwdaemon:II: escaped request: \"(.*)\"$"));
    }

    QString Address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    quint16 Port() const { return port_; }

private:
    QString LogPath() const { return dir_.filePath(QStringLiteral("cwdaemon.log")); }

    QStringList Matches(const QString& pattern) const {
        QFile f(LogPath());
        QStringList out;
        if (!f.open(QIODevice::ReadOnly))
            return out;
        const QRegularExpression re(pattern);
        for (const QByteArray& line : f.readAll().split('\n'))
            if (const auto m = re.match(QString::fromLatin1(line).trimmed()); m.hasMatch())
                out << m.captured(1);
        return out;
    }

    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};

} // namespace zelmar::testing
