#include "windows/RateWindow.h"

#include "contest/QsoClock.h"
#include "logbook/LogBook.h"
#include "logbook/SubmissionStore.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <QTimeZone>

namespace qarvel {

namespace {

QString Rate(double perHour) {
    return perHour < 0 ? QStringLiteral("-") : QStringLiteral("%1 /h").arg(qRound(perHour));
}

} // namespace

RateWindow::RateWindow(LogBook& log, QWidget* parent)
    : QWidget(parent, Qt::Tool), log_(log),
      now_([] { return QDateTime::currentSecsSinceEpoch(); }) {
    setObjectName(QStringLiteral("RateWindow"));
    setWindowTitle(QStringLiteral("Rate"));
    // Shown beside the log, it never takes the keyboard from the call field.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* form = new QFormLayout(this);
    last10_ = Figure("RateLast10");
    last100_ = Figure("RateLast100");
    last60_ = Figure("RateLast60");
    thisHour_ = Figure("RateThisHour");
    timeOn_ = Figure("RateTimeOn");
    timeOff_ = Figure("RateTimeOff");
    bands_ = Figure("RateBands");
    bands_->setWordWrap(true);
    QFont big = last10_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    for (QLabel* l : {last10_, last100_, last60_})
        l->setFont(big);
    hourCaption_ = new QLabel(QStringLiteral("This hour:"), this);
    form->addRow(QStringLiteral("Last 10 QSOs:"), last10_);
    form->addRow(QStringLiteral("Last 100 QSOs:"), last100_);
    form->addRow(QStringLiteral("Last 60 minutes:"), last60_);
    form->addRow(hourCaption_, thisHour_);
    form->addRow(QStringLiteral("Time on:"), timeOn_);
    form->addRow(QStringLiteral("Time off:"), timeOff_);
    form->addRow(QStringLiteral("Last hour by band:"), bands_);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("RateProblem"));
    problem_->setWordWrap(true);
    problem_->hide();
    form->addRow(problem_);
    // The figures of the last hour age with the clock, QSO or not.
    tick_.setInterval(15000);
    connect(&tick_, &QTimer::timeout, this, &RateWindow::Show);
}

QLabel* RateWindow::Figure(const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void RateWindow::SetClock(std::function<qint64()> now) {
    now_ = std::move(now);
    Show();
}

RateMeter::Figures RateWindow::Figures() const {
    return meter_.At(now_());
}

void RateWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_)
        Read();
    Show();
    tick_.start();
    // The first time beside the log window's right edge, below where the
    // statistics window usually sits; after that where the operator put it.
    if (!placed_ && parentWidget()) {
        placed_ = true;
        resize(std::max(width(), 320), sizeHint().height());
        const QRect main = parentWidget()->frameGeometry();
        QPoint at(main.right() + 8, main.top() + main.height() / 2);
        if (const QScreen* s = parentWidget()->screen()) {
            const QRect room = s->availableGeometry();
            at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
            at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
        }
        move(at);
    }
}

void RateWindow::Reload() {
    if (loaded_)
        Read();
}

void RateWindow::Read() {
    QString error;
    const auto rows = log_.ReadAll(&error);
    const auto details = SubmissionStore(log_.Database(), log_.Table()).Load(&error);
    meter_.Clear();
    counted_.clear();
    if (details)
        meter_.SetMinimumBreak(details->MinimumBreak());
    problem_->setVisible(!rows || !details);
    problem_->setText(error);
    loaded_ = true;
    if (rows)
        for (const QsoRow& row : *rows)
            Count(row);
    Show();
}

void RateWindow::AddQso(const QsoRow& row) {
    if (loaded_ && Count(row) && isVisible())
        Show();
}

bool RateWindow::Count(const QsoRow& row) {
    if (!row.qsoId.isEmpty()) {
        if (counted_.contains(row.qsoId))
            return false;
        counted_.insert(row.qsoId);
    }
    const auto seconds = QsoClock::Seconds(row);
    if (!seconds)
        return false;
    meter_.Add(*seconds, row.band.toStdString());
    return true;
}

void RateWindow::Show() {
    const qint64 now = now_();
    const RateMeter::Figures f = meter_.At(now);
    last10_->setText(Rate(f.last10));
    last100_->setText(Rate(f.last100));
    last60_->setText(QStringLiteral("%1 /h").arg(f.last60Minutes));
    hourCaption_->setText(
        QStringLiteral("Since %1z:")
            .arg(QDateTime::fromSecsSinceEpoch(now, QTimeZone::utc()).toString(QStringLiteral("HH00"))));
    thisHour_->setText(QStringLiteral("%1 QSOs").arg(f.thisHour));
    timeOn_->setText(QsoClock::Duration(f.timeOn));
    timeOff_->setText(QStringLiteral("%1 in %2 break%3").arg(QsoClock::Duration(f.timeOff))
                          .arg(f.breaks)
                          .arg(f.breaks == 1 ? QString() : QStringLiteral("s")));
    QStringList bands;
    auto byBand = f.lastHourByBand;
    // Lowest band first, as the band texts are MHz.
    std::stable_sort(byBand.begin(), byBand.end(), [](const auto& a, const auto& b) {
        bool okA = false, okB = false;
        const double x = QString::fromStdString(a.band).toDouble(&okA);
        const double y = QString::fromStdString(b.band).toDouble(&okB);
        return okA && okB ? x < y : okA && !okB;
    });
    for (const auto& b : byBand)
        bands << QStringLiteral("%1: %2").arg(QString::fromStdString(b.band)).arg(b.qsos);
    bands_->setText(bands.isEmpty() ? QStringLiteral("none") : bands.join(QStringLiteral(", ")));
}

} // namespace qarvel
