#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qarvel {

class ClusterClient;

// The DX cluster's raw lines and a line for the operator's commands
// ("sh/dx 20", "dx 14025 DL1ABC tnx"). Lines arriving in a burst are shown
// together a few times a second, so a skimmer's flood costs the window one
// append per tenth of a second, not one per line.
class ClusterWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFlushMs = 100;
    static constexpr int kKeptLines = 3000;

    explicit ClusterWindow(ClusterClient& cluster, QWidget* parent = nullptr);

    QString Text() const;

private:
    void Queue(const QString& line);
    void Flush();
    void SendTyped();

    ClusterClient& cluster_;
    QPlainTextEdit* lines_ = nullptr;
    QLineEdit* command_ = nullptr;
    QLabel* status_ = nullptr;
    QStringList pending_;
    QTimer flush_;
};

} // namespace qarvel
