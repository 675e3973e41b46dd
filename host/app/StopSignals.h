#pragma once

#include <QObject>

class QSocketNotifier;

namespace qarvel {

// SIGINT and SIGTERM turned into a Qt signal: the handler only writes a
// byte into a pipe, and the event loop reads it, so that everything after
// (releasing the module, closing the log) runs outside the handler.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void Stop();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qarvel
