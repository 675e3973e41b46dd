#pragma once

#include <QLabel>

namespace qarvel {

class SharedLog;

// The status bar's word on a shared log: "online", or, in red, "offline"
// and how many changes wait for the server; QSOs the server refused are
// counted in red, their reasons in the tooltip.
class SharedLogStatus : public QLabel {
    Q_OBJECT
public:
    explicit SharedLogStatus(SharedLog& shared, QWidget* parent = nullptr);

    static QString Text(bool online, int waiting, int refused = 0);

private:
    void Show();

    SharedLog& shared_;
};

} // namespace qarvel
