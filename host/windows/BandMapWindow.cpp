#include "windows/BandMapWindow.h"

#include "cluster/BandMapSpots.h"
#include "finding/CallJudge.h"
#include "reference/BandPlan.h"
#include "windows/BandMapModel.h"
#include "windows/CheckPartialPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListView>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qarvel {

namespace {

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
    keep_ = new QSpinBox(this);
    keep_->setObjectName(QStringLiteral("BandMapKeepMinutes"));
    keep_->setRange(1, 240);
    keep_->setValue(int(spots_.MaxAgeMs() / 60000));
    keep_->setPrefix(QStringLiteral("keep "));
    keep_->setSuffix(QStringLiteral(" min"));
    keep_->setToolTip(QStringLiteral("Spots older than this are dropped"));
    controls->addWidget(keep_);
    connect(keep_, &QSpinBox::valueChanged, this, &BandMapWindow::KeepMinutesChanged);
    controls->addStretch(1);
    list_ = new QListView(this);
    list_->setObjectName(QStringLiteral("BandMapList"));
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(f.pointSize() + 1);
    list_->setFont(f);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_ = new BandMapModel(this);
    model_->SetFont(f);
    list_->setModel(model_);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);

    const auto redraw = [this] { Refresh(lastRefreshMs_); };
    connect(band_, &QComboBox::currentIndexChanged, this, redraw);
    connect(hideDupes_, &QCheckBox::toggled, this, redraw);
    connect(onlyMultipliers_, &QCheckBox::toggled, this, redraw);
    // Enter and a double click both activate a row.
    connect(list_, &QListView::activated, this, [this](const QModelIndex& index) {
        const QString call = index.data(BandMapModel::kCallRole).toString();
        if (call.isEmpty())
            return;
        for (const BandMapSpot& s : spots_.On(Band()))
            if (s.call == call) {
                emit SpotChosen(s);
                return;
            }
    });
    resize(480, 520);
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

void BandMapWindow::ShowKeepMinutes(int minutes) {
    const QSignalBlocker block(keep_);
    keep_->setValue(minutes);
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
    const QString current = list_->currentIndex().data(BandMapModel::kCallRole).toString();
    const QColor ground = list_->palette().color(QPalette::Base);
    const double maxAge = double(spots_.MaxAgeMs());
    const bool rigHere = rigKilohertz_ > 0 && !band.isEmpty() &&
                         BandFromMegahertz(rigKilohertz_ / 1000) == band;
    bool rigShown = false;
    std::vector<BandMapModel::Row> rows;
    const auto addRig = [&] {
        BandMapModel::Row r;
        r.text = QStringLiteral("%1  <<< rig").arg(rigKilohertz_, 9, 'f', 1);
        r.ground = QColor(210, 230, 255);
        r.bold = true;
        rows.push_back(std::move(r));
        rigShown = true;
    };
    int reselect = -1;
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
        BandMapModel::Row r;
        r.text = QStringLiteral("%1  %2 %3 %4")
                     .arg(s.kilohertz, 9, 'f', 1)
                     .arg(s.call, -11)
                     .arg(QStringLiteral("%1'").arg(ageMs / 60000), 4)
                     .arg(tag);
        r.call = s.call;
        r.tip = s.spotter.isEmpty() ? s.call
                                    : QStringLiteral("%1 by %2: %3").arg(s.call, s.spotter, s.comment);
        // Older spots fade towards the background, at most two thirds.
        const double fade = maxAge > 0 ? std::min(1.0, double(ageMs) / maxAge) * 0.65 : 0;
        r.colour = Faded(CheckPartialPane::ColourOf(status, list_->palette()), ground, fade);
        r.bold = status == CallStatus::NewMultiplier;
        r.italic = s.origin == BandMapSpot::Origin::Worked;
        if (s.call == current)
            reselect = static_cast<int>(rows.size());
        rows.push_back(std::move(r));
    }
    if (rigHere && !rigShown)
        addRig();
    model_->SetRows(std::move(rows));
    if (reselect >= 0)
        list_->setCurrentIndex(model_->index(reselect));
}

QStringList BandMapWindow::RowTexts() const {
    QStringList texts;
    for (const BandMapModel::Row& r : model_->Rows())
        texts << r.text;
    return texts;
}

bool BandMapWindow::Pick(const QString& call) {
    const auto& rows = model_->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].call == call) {
            list_->setCurrentIndex(model_->index(static_cast<int>(i)));
            return true;
        }
    return false;
}

} // namespace qarvel
