#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace zelmar::testing {

// Hamlib's rigctld with its dummy rig (-m 1) on a free loopback port, from
// Debian's libhamlib-utils; tuned the way an operator's other programs
// would, through rigctl.
class RigctldProcess {
public:
    RigctldProcess() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port_ = probe.serverPort();
    }
    ~RigctldProcess() { Stop(); }
    RigctldProcess(const RigctldProcess&) = delete;
    RigctldProcess& operator=(const RigctldProcess&) = delete;

    static bool Installed() { return !QStandardPaths::findExecutable("rigctld").isEmpty(); }

    // True once it takes connections. `extra`: more of rigctld's options,
    // e.g. {"-P", "RIG"} for a dummy rig that keys its PTT.
    bool Start(const QStringList& extra = {}) {
        process_.start(QStringLiteral("rigctld"),
                       QStringList{"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port_)} +
                           extra);
        if (!process_.waitForStarted(10000))
            return false;
        return QTest::qWaitFor(
            [this] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port_);
                return probe.waitForConnected(200);
            },
            10000);
    }

    // Killed, as a crash or a pulled cable would end it.
    void Stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        process_.waitForFinished(10000);
    }

    // rigctl commands, e.g. {"F", "7025000", "M", "CW", "0"}.
    bool Tune(const QStringList& commands) const {
        return QProcess::execute(QStringLiteral("rigctl"),
                                 QStringList{"-m", "2", "-r", Address()} + commands) == 0;
    }

    QString Address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

    // What it has written so far (with -vvvvv, every Hamlib call it made).
    QByteArray Output() {
        output_ += process_.readAllStandardOutput() + process_.readAllStandardError();
        return output_;
    }

private:
    QProcess process_;
    QByteArray output_;
    quint16 port_ = 0;
};

} // namespace zelmar::testing
