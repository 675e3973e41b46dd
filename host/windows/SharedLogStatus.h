#pragma once

#include <QLabel>

namespace qarvel {

class LiveLog;

// The status bar's word on a shared log: "online", or, in red, "offline"
// and how many QSOs wait in the outbox.
class SharedLogStatus : public QLabel {
    Q_OBJECT
public:
    explicit SharedLogStatus(LiveLog& live, QWidget* parent = nullptr);

    static QString Text(bool online, int waiting);

private:
    void Show(bool online, int waiting);
};

} // namespace qarvel
