#pragma once

#include "cluster/BandMapSpot.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QListView;
class QSpinBox;

namespace qarvel {

class BandMapSpots;
class CallJudge;

// One band's stations by frequency: the cluster's spots, the calls the
// operator marked and the own QSOs, coloured like the check-partial pane
// (red a new multiplier, grey a dupe) and fading as they age; the rig's
// frequency is a row of its own. Enter or a double click on a station
// grabs it. The band is the entry line's unless one is picked.
class BandMapWindow : public QWidget {
    Q_OBJECT
public:
    BandMapWindow(const BandMapSpots& spots, CallJudge& judge, QWidget* parent = nullptr);

    // The contest bands a map can show.
    static const QStringList& ContestBands();

    // The entry line's band and mode, and the rig's frequency (0: none).
    void Follow(const QString& band, const QString& mode, double rigKilohertz);
    // A fixed band; empty: the entry line's.
    void ShowBand(const QString& band);
    QString Band() const;

    // Draws the list again as the spots stand at `nowMs`.
    void Refresh(qint64 nowMs);
    QListView* List() const { return list_; }
    // The rows as shown, top to bottom.
    QStringList RowTexts() const;
    // Makes the row of `call` the current one; false when it is not shown.
    bool Pick(const QString& call);

    // How long a spot stays, as the operator set it.
    void ShowKeepMinutes(int minutes);

signals:
    void SpotChosen(const qarvel::BandMapSpot& spot);
    void KeepMinutesChanged(int minutes);

private:
    const BandMapSpots& spots_;
    CallJudge& judge_;
    QComboBox* band_ = nullptr;
    QCheckBox* hideDupes_ = nullptr;
    QCheckBox* onlyMultipliers_ = nullptr;
    QSpinBox* keep_ = nullptr;
    QListView* list_ = nullptr;
    class BandMapModel* model_ = nullptr;
    QString entryBand_, mode_;
    double rigKilohertz_ = 0;
    qint64 lastRefreshMs_ = 0;
};

} // namespace qarvel
