#include "windows/SummaryWindow.h"

#include "contest/QsoClock.h"
#include "formats/SummaryHtml.h"
#include "windows/SummaryCharts.h"

#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QBuffer>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qarvel {

namespace {

QTableWidget* Table(QWidget* parent, const char* name) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(QLatin1String(name));
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    return t;
}

QTableWidgetItem* Item(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

SummaryWindow::SummaryWindow(Maker make, QString title, QWidget* parent)
    : QWidget(parent, Qt::Window), make_(std::move(make)), title_(std::move(title)) {
    setObjectName(QStringLiteral("SummaryWindow"));
    setWindowTitle(QStringLiteral("Summary - %1").arg(title_));
    auto* layout = new QVBoxLayout(this);
    facts_ = new QLabel(this);
    facts_->setObjectName(QStringLiteral("SummaryFacts"));
    facts_->setWordWrap(true);
    layout->addWidget(facts_);

    auto* tabs = new QTabWidget(this);
    auto* graphs = new QWidget(tabs);
    auto* graphLayout = new QVBoxLayout(graphs);
    hourly_ = new QChartView(graphs);
    hourly_->setObjectName(QStringLiteral("SummaryHourlyChart"));
    hourly_->setRenderHint(QPainter::Antialiasing);
    score_ = new QChartView(graphs);
    score_->setObjectName(QStringLiteral("SummaryScoreChart"));
    score_->setRenderHint(QPainter::Antialiasing);
    graphLayout->addWidget(hourly_, 3);
    graphLayout->addWidget(score_, 2);
    tabs->addTab(graphs, QStringLiteral("&Graphs"));
    hours_ = Table(tabs, "SummaryHours");
    tabs->addTab(hours_, QStringLiteral("&Hours"));
    auto* bandsPage = new QWidget(tabs);
    auto* bandsLayout = new QVBoxLayout(bandsPage);
    bands_ = Table(bandsPage, "SummaryBands");
    breaks_ = new QLabel(bandsPage);
    breaks_->setObjectName(QStringLiteral("SummaryBreaks"));
    breaks_->setWordWrap(true);
    breaks_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    bandsLayout->addWidget(bands_, 1);
    bandsLayout->addWidget(new QLabel(QStringLiteral("<b>Breaks</b>"), bandsPage));
    bandsLayout->addWidget(breaks_, 1);
    tabs->addTab(bandsPage, QStringLiteral("&Bands and breaks"));
    layout->addWidget(tabs, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(QStringLiteral("&Refresh"), "SummaryRefresh", &SummaryWindow::Refresh);
    buttons->addStretch(1);
    button(QStringLiteral("Save P&NG..."), "SummarySavePng", &SummaryWindow::AskPng);
    button(QStringLiteral("Save P&DF..."), "SummarySavePdf", &SummaryWindow::AskPdf);
    button(QStringLiteral("&Print..."), "SummaryPrint", &SummaryWindow::AskPrint);
    layout->addLayout(buttons);
    resize(1000, 760);
}

void SummaryWindow::Refresh() {
    QString error;
    summary_ = make_(&error);
    if (!summary_) {
        facts_->setText(QStringLiteral("The summary cannot be made: %1").arg(error));
        return;
    }
    const ContestSummary& s = *summary_;
    facts_->setText(
        QStringLiteral("%1 QSOs%2. Time on %3, time off %4 in %5 break(s) (from %6 minutes).")
            .arg(s.qsos)
            .arg(s.scoreLine.isEmpty() ? QString() : QStringLiteral(", ") + s.scoreLine,
                 QsoClock::Duration(s.timeOn), QsoClock::Duration(s.timeOff))
            .arg(s.breaks.size())
            .arg(s.minimumBreak));
    // The views own their charts and drop the old ones.
    hourly_->setChart(SummaryCharts::Hourly(s));
    score_->setChart(SummaryCharts::Score(s));

    hours_->clear();
    hours_->setColumnCount(static_cast<int>(s.bands.size()) + 2);
    hours_->setRowCount(static_cast<int>(s.hours.size()));
    hours_->setHorizontalHeaderLabels(QStringList{QStringLiteral("Hour (UTC)")} + s.bands +
                                      QStringList{QStringLiteral("Total")});
    for (int r = 0; r < static_cast<int>(s.hours.size()); ++r) {
        const ContestSummary::Hour& h = s.hours[static_cast<std::size_t>(r)];
        hours_->setItem(r, 0, Item(ContestSummary::HourText(h.start), false));
        for (int b = 0; b < static_cast<int>(h.qsos.size()); ++b)
            hours_->setItem(r, b + 1, Item(QString::number(h.qsos[static_cast<std::size_t>(b)]), true));
        hours_->setItem(r, static_cast<int>(h.qsos.size()) + 1, Item(QString::number(h.total), true));
    }
    hours_->resizeColumnsToContents();

    bands_->clear();
    bands_->setRowCount(s.grid.empty() ? 0 : static_cast<int>(s.grid.size()) - 1);
    bands_->setColumnCount(s.grid.empty() ? 0 : static_cast<int>(s.grid.front().size()));
    if (!s.grid.empty()) {
        bands_->setHorizontalHeaderLabels(s.grid.front());
        for (int r = 1; r < static_cast<int>(s.grid.size()); ++r)
            for (int c = 0; c < static_cast<int>(s.grid[static_cast<std::size_t>(r)].size()); ++c)
                bands_->setItem(r - 1, c, Item(s.grid[static_cast<std::size_t>(r)][c], c > 0));
    }
    bands_->resizeColumnsToContents();

    QStringList breaks;
    for (const OffTimeBreak& b : s.breaks)
        breaks << QStringLiteral("%1 to %2 UTC: %3 minutes")
                      .arg(QsoClock::MinuteText(b.firstMinute),
                           QsoClock::MinuteText(b.firstMinute + b.minutes - 1))
                      .arg(b.minutes);
    breaks_->setText(breaks.isEmpty()
                         ? QStringLiteral("No break of %1 minutes or more.").arg(s.minimumBreak)
                         : breaks.join(QLatin1Char('\n')));
}

bool SummaryWindow::SavePng(const QString& path, QString* error) const {
    if (!summary_) {
        *error = QStringLiteral("there is no summary");
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    SummaryCharts::Picture(*summary_).save(&buffer, "PNG");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void SummaryWindow::Print(QPrinter& printer) const {
    if (!summary_)
        return;
    QTextDocument document;
    const QSize size(900, 500);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("hourly.png")),
                         SummaryCharts::Render(std::unique_ptr<QChart>(SummaryCharts::Hourly(*summary_)).get(), size));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("score.png")),
                         SummaryCharts::Render(std::unique_ptr<QChart>(SummaryCharts::Score(*summary_)).get(), size));
    document.setHtml(SummaryHtml::Write(*summary_, title_, QStringLiteral("hourly.png"),
                                        QStringLiteral("score.png")));
    document.print(&printer);
}

bool SummaryWindow::SavePdf(const QString& path, QString* error) const {
    if (!summary_) {
        *error = QStringLiteral("there is no summary");
        return false;
    }
    // Printed aside and then put in place, so a failed print never leaves
    // half a file where a good one was.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part);
        printer.setDocName(title_);
        Print(printer);
    }
    // QPrinter says nothing of a file it could not write.
    if (!QFileInfo(part).isFile() || QFileInfo(part).size() == 0) {
        QFile::remove(part);
        *error = QStringLiteral("the PDF could not be written there");
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(part, path)) {
        *error = QStringLiteral("%1 cannot be replaced").arg(path);
        return false;
    }
    return true;
}

void SummaryWindow::AskPng() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the graphs"),
                                                      QStringLiteral("summary.png"),
                                                      QStringLiteral("PNG pictures (*.png)"));
    QString error;
    if (!path.isEmpty() && !SavePng(path, &error))
        QMessageBox::warning(this, QStringLiteral("Summary"),
                             QStringLiteral("%1 was not written: %2").arg(path, error));
}

void SummaryWindow::AskPdf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
                                                      QStringLiteral("summary.pdf"),
                                                      QStringLiteral("PDF files (*.pdf)"));
    QString error;
    if (!path.isEmpty() && !SavePdf(path, &error))
        QMessageBox::warning(this, QStringLiteral("Summary"),
                             QStringLiteral("%1 was not written: %2").arg(path, error));
}

void SummaryWindow::AskPrint() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        Print(printer);
}

} // namespace qarvel
