#pragma once

#include "contest/RateMeter.h"
#include "logbook/QsoRow.h"

#include <QSet>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;

namespace qarvel {

class LogBook;

// Contest > Rate: the rate over the last 10 and 100 QSOs and the last 60
// minutes, the QSOs of the current clock hour, time on and off, and the
// last hour per band. It reads the log once, when first shown and after a
// change that is no new QSO (a Recalc, a correction, an import, another
// minimum break); from then on every QSO is handed to it as it is logged,
// here or at another position, and costs the same however long the log.
class RateWindow : public QWidget {
    Q_OBJECT
public:
    explicit RateWindow(LogBook& log, QWidget* parent = nullptr);

    // A QSO now in the log. Before the window has read the log it is left
    // to that reading; a QSO already counted (by its id) is not counted
    // again.
    void AddQso(const QsoRow& row);
    // Reads the log and the contest's minimum break again, when the window
    // has read it before.
    void Reload();
    // For tests: the clock the figures are read at (seconds since the epoch).
    void SetClock(std::function<qint64()> now);

    bool Loaded() const { return loaded_; }
    RateMeter::Figures Figures() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Read();
    // Into the meter; false when it was counted before or has no time.
    bool Count(const QsoRow& row);
    void Show();
    QLabel* Figure(const char* name);

    LogBook& log_;
    RateMeter meter_;
    QSet<QString> counted_;
    bool loaded_ = false;
    bool placed_ = false;
    std::function<qint64()> now_;
    QTimer tick_;
    QLabel *last10_, *last100_, *last60_, *hourCaption_, *thisHour_, *timeOn_, *timeOff_, *bands_,
        *problem_;
};

} // namespace qarvel
