#pragma once

#include "scoring/BandFollower.h"

#include <QWidget>

namespace zelmar {

class TfmMainForm;

// The multipliers window: the counties of the county table, those worked on
// the chosen band in red bold.
class TfmDomList : public QWidget, public TBandFollower {
    Q_OBJECT
public:
    explicit TfmDomList(TfmMainForm* owner);

    void SelectBand(std::int32_t n) override;
    QString CurrentBandText() const { return currentBandText_; }

private:
    TfmMainForm* owner_;
    QString currentBandText_;
};

} // namespace zelmar
