#pragma once

#include "finding/CallStatus.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

namespace qarvel {

// The check-partial pane beside the entry line: the known calls holding
// what is typed, then the N+1 calls with their differing character marked,
// each coloured by what a QSO would bring (red a new multiplier, grey a
// dupe, plain points in the text colour); "Unique" when nothing matches.
// Laid out once per change and only painted afterwards, so a keystroke
// costs one layout of a few dozen calls.
class CheckPartialPane : public QWidget {
    Q_OBJECT
public:
    struct Entry {
        QString call;
        CallStatus status = CallStatus::Points;
        int marked = -1; // the differing character of an N+1 call
    };

    explicit CheckPartialPane(QWidget* parent = nullptr);

    // `typed` below two characters empties the pane.
    void Show(const QString& typed, std::vector<Entry> partial, std::vector<Entry> neighbours,
              int partialTotal);
    const std::vector<Entry>& Partial() const { return partial_; }
    const std::vector<Entry>& Neighbours() const { return neighbours_; }
    bool ShowsUnique() const { return unique_; }

    // The shown call after the highlighted one (the first one at first),
    // now highlighted; empty when none is shown.
    QString NextCall();

    static QColor ColourOf(CallStatus status, const QPalette& palette);
    QSize sizeHint() const override;

signals:
    void CallChosen(const QString& call);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Placed {
        QRect rect;
        int index; // into partial_, then neighbours_
    };
    void Relayout();
    const Entry& At(int index) const;

    QString typed_;
    std::vector<Entry> partial_;
    std::vector<Entry> neighbours_;
    int partialTotal_ = 0;
    bool unique_ = false;
    int highlighted_ = -1;
    std::vector<Placed> placed_;
    int neighboursTop_ = -1; // where the N+1 heading goes
    int moreTop_ = -1;
};

} // namespace qarvel
