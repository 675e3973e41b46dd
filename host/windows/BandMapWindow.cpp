#include "windows/BandMapWindow.h"

#include "cluster/BandMapSpots.h"
#include "finding/CallJudge.h"
#include "reference/BandPlan.h"
#include "windows/CheckPartialPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace qarvel {

namespace {

constexpr int kCallRole = Qt::UserRole;
constexpr int kKilohertzRole = Qt::UserRole + 1;

QColor Faded(const QColor& colour, const QColor& ground, double fade) {
    return QColor::fromRgbF(
        float(colour.redF() + (ground.redF() - colour.redF()) * fade),
        float(colour.greenF() + (ground.greenF() - colour.greenF()) * fade),
        float(colour.blueF() + (ground.blueF() - colour.blueF()) * fade));
}

} // namespace

const QStringList& BandMapWindow::ContestBands() {
    static const QStringList kBands = {QStringLiteral("1.8"), QStringLiteral("3.5"),
                                       QStringLiteral("7"),   QStringLiteral("14"),
                                       QStringLiteral("21"),  QStringLiteral("28")};
    return kBands;
}

BandMapWindow::BandMapWindow(const BandMapSpots& spots, CallJudge& judge, QWidget* parent)
    : QWidget(parent, Qt::Window), spots_(spots), judge_(judge) {
    setObjectName(QStringLiteral("BandMapWindow"));
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("BandMapBand"));
    band_->addItem(QStringLiteral("Entry line's band"), QString());
    for (const QString& b : ContestBands())
        band_->addItem(b + QStringLiteral(" MHz"), b);
    hideDupes_ = new QCheckBox(QStringLiteral("Hide dupes"), this);
    hideDupes_->setObjectName(QStringLiteral("BandMapHideDupes"));
    onlyMultipliers_ = new QCheckBox(QStringLiteral("Only new multipliers"), this);
    onlyMultipliers_->setObjectName(QStringLiteral("BandMapOnlyMultipliers"));
    controls->addWidget(band_);
    controls->addWidget(hideDupes_);
    controls->addWidget(onlyMultipliers_);
    controls->addStretch(1);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("BandMapList"));
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(f.pointSize() + 1);
    list_->setFont(f);
    list_->setUniformItemSizes(true);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);

    const auto redraw = [this] { Refresh(lastRefreshMs_); };
    connect(band_, &QComboBox::currentIndexChanged, this, redraw);
    connect(hideDupes_, &QCheckBox::toggled, this, redraw);
    connect(onlyMultipliers_, &QCheckBox::toggled, this, redraw);
    // Enter and a double click both activate a row.
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString call = item->data(kCallRole).toString();
        if (call.isEmpty())
            return;
        for (const BandMapSpot& s : spots_.On(Band()))
            if (s.call == call) {
                emit SpotChosen(s);
                return;
            }
    });
    resize(400, 520);
}

void BandMapWindow::Follow(const QString& band, const QString& mode, double rigKilohertz) {
    entryBand_ = band;
    mode_ = mode;
    rigKilohertz_ = rigKilohertz;
}

void BandMapWindow::ShowBand(const QString& band) {
    const int at = band_->findData(band);
    band_->setCurrentIndex(at < 0 ? 0 : at);
}

QString BandMapWindow::Band() const {
    const QString fixed = band_->currentData().toString();
    return fixed.isEmpty() ? entryBand_ : fixed;
}

void BandMapWindow::Refresh(qint64 nowMs) {
    lastRefreshMs_ = nowMs;
    const QString band = Band();
    setWindowTitle(band.isEmpty() ? QStringLiteral("Band map")
                                  : QStringLiteral("Band map %1 MHz").arg(band));
    const QString current =
        list_->currentItem() ? list_->currentItem()->data(kCallRole).toString() : QString();
    list_->setUpdatesEnabled(false);
    list_->clear();
    const QColor ground = list_->palette().color(QPalette::Base);
    const double maxAge = double(spots_.MaxAgeMs());
    const bool rigHere =
        rigKilohertz_ > 0 && !band.isEmpty() && BandFromMegahertz(rigKilohertz_ / 1000) == band;
    bool rigShown = false;
    const auto addRig = [&] {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  <<< rig").arg(rigKilohertz_, 9, 'f', 1), list_);
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(QColor(210, 230, 255));
        QFont f = list_->font();
        f.setBold(true);
        item->setFont(f);
        rigShown = true;
    };
    QListWidgetItem* reselect = nullptr;
    for (const BandMapSpot& s : spots_.On(band)) {
        if (rigHere && !rigShown && s.kilohertz > rigKilohertz_)
            addRig();
        const CallStatus status = s.origin == BandMapSpot::Origin::Worked
                                      ? CallStatus::Dupe
                                      : judge_.Judge(s.call, band, mode_);
        if ((hideDupes_->isChecked() && status == CallStatus::Dupe) ||
            (onlyMultipliers_->isChecked() && status != CallStatus::NewMultiplier))
            continue;
        const qint64 ageMs = std::max<qint64>(0, nowMs - s.seenMs);
        QString tag;
        if (s.origin == BandMapSpot::Origin::Worked)
            tag = QStringLiteral("worked");
        else if (s.origin == BandMapSpot::Origin::Marked)
            tag = QStringLiteral("marked");
        else if (status == CallStatus::Dupe)
            tag = QStringLiteral("dupe");
        else if (status == CallStatus::NewMultiplier)
            tag = QStringLiteral("mult");
        auto* item = new QListWidgetItem(QStringLiteral("%1  %2 %3 %4")
                                             .arg(s.kilohertz, 9, 'f', 1)
                                             .arg(s.call, -11)
                                             .arg(QStringLiteral("%1'").arg(ageMs / 60000), 4)
                                             .arg(tag),
                                         list_);
        item->setData(kCallRole, s.call);
        item->setData(kKilohertzRole, s.kilohertz);
        item->setToolTip(s.spotter.isEmpty()
                             ? s.call
                             : QStringLiteral("%1 by %2: %3").arg(s.call, s.spotter, s.comment));
        // Older spots fade towards the background, at most two thirds.
        const double fade = maxAge > 0 ? std::min(1.0, double(ageMs) / maxAge) * 0.65 : 0;
        item->setForeground(Faded(CheckPartialPane::ColourOf(status, list_->palette()), ground, fade));
        if (status == CallStatus::NewMultiplier) {
            QFont f = list_->font();
            f.setBold(true);
            item->setFont(f);
        }
        if (s.origin == BandMapSpot::Origin::Worked) {
            QFont f = list_->font();
            f.setItalic(true);
            item->setFont(f);
        }
        if (s.call == current)
            reselect = item;
    }
    if (rigHere && !rigShown)
        addRig();
    if (reselect)
        list_->setCurrentItem(reselect);
    list_->setUpdatesEnabled(true);
}

} // namespace qarvel
