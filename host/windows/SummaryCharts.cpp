#include "windows/SummaryCharts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <memory>

namespace qarvel {

namespace {

// One colour per contest band, the same in every picture.
QColor BandColour(int index) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                     QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f)};
    return colours[index % static_cast<int>(std::size(colours))];
}

QString Span(const ContestSummary& s) {
    if (s.hours.empty())
        return QStringLiteral("no QSOs with a time");
    return QStringLiteral("%1:00 to %2:59 UTC")
        .arg(ContestSummary::HourText(s.hours.front().start),
             ContestSummary::HourText(s.hours.back().start));
}

} // namespace

QChart* SummaryCharts::Hourly(const ContestSummary& s) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("QSOs per hour and band, %1").arg(Span(s)));
    auto* series = new QStackedBarSeries;
    for (qsizetype b = 0; b < s.bands.size(); ++b) {
        auto* set = new QBarSet(QStringLiteral("%1 MHz").arg(s.bands[b]));
        set->setColor(BandColour(static_cast<int>(b)));
        set->setBorderColor(BandColour(static_cast<int>(b)));
        for (const ContestSummary::Hour& h : s.hours)
            *set << h.qsos[static_cast<std::size_t>(b)];
        series->append(set);
    }
    series->setBarWidth(0.85);
    chart->addSeries(series);
    QStringList labels;
    // Hours show as "12" (the title gives the days): longer labels would
    // be cut short under narrow bars.
    // A category axis drops a label it has already: the same hour of a
    // later day gets as many zero-width spaces as days have passed.
    for (const ContestSummary::Hour& h : s.hours) {
        const qint64 day = (h.start - s.hours.front().start) / 86400;
        labels << ContestSummary::HourText(h.start).right(2) +
                      QString(static_cast<qsizetype>(day), QChar(0x200B));
    }
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    x->setTitleText(QStringLiteral("hour (UTC)"));
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("QSOs"));
    int most = 0;
    for (const ContestSummary::Hour& h : s.hours)
        most = std::max(most, h.total);
    y->setRange(0, std::max(most, 1));
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->setAlignment(Qt::AlignRight);
    return chart;
}

QChart* SummaryCharts::Score(const ContestSummary& s) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Claimed score"));
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("score"));
    const qint64 origin = s.hours.empty() ? 0 : s.hours.front().start;
    qint64 top = 1;
    for (const ScoreTimeline::Point& p : s.score) {
        series->append(static_cast<double>(p.seconds - origin) / 3600.0,
                       static_cast<double>(p.score));
        top = std::max(top, p.score);
    }
    chart->addSeries(series);
    auto* x = new QValueAxis;
    x->setTitleText(s.hours.empty() ? QStringLiteral("hours")
                                    : QStringLiteral("hours from %1:00 UTC")
                                          .arg(ContestSummary::HourText(origin)));
    x->setRange(0, std::max<double>(1.0, static_cast<double>(s.hours.size())));
    x->setLabelFormat(QStringLiteral("%d"));
    auto* y = new QValueAxis;
    y->setRange(0, static_cast<double>(top));
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setTitleText(QStringLiteral("score"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->hide();
    return chart;
}

QImage SummaryCharts::Render(QChart* chart, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    scene.removeItem(chart);
    return image;
}

QImage SummaryCharts::Picture(const ContestSummary& s, QSize size) {
    const std::unique_ptr<QChart> hourly(Hourly(s));
    const std::unique_ptr<QChart> score(Score(s));
    const int upper = size.height() * 3 / 5;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, Render(hourly.get(), {size.width(), upper}));
    painter.drawImage(0, upper, Render(score.get(), {size.width(), size.height() - upper}));
    return image;
}

} // namespace qarvel
