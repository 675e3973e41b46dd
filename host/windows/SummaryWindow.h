#pragma once

#include "contest/ContestSummary.h"

#include <QWidget>
#include <functional>
#include <optional>

class QChartView;
class QLabel;
class QPrinter;
class QTableWidget;

namespace qarvel {

// Contest > Summary: the QSOs per hour and band as a table and as stacked
// bars, the claimed score over time, the statistics window's figures per
// band and the breaks. It is saved as PNG (the graphs), printed, or saved
// as PDF (the whole summary, as --summary writes it in HTML).
class SummaryWindow : public QWidget {
    Q_OBJECT
public:
    // `make` builds the summary afresh from the log (at each Refresh).
    using Maker = std::function<std::optional<ContestSummary>(QString* error)>;

    SummaryWindow(Maker make, QString title, QWidget* parent = nullptr);

    void Refresh();
    const std::optional<ContestSummary>& Summary() const { return summary_; }

    // False, with the reason, when the file cannot be written.
    bool SavePng(const QString& path, QString* error) const;
    bool SavePdf(const QString& path, QString* error) const;
    void Print(QPrinter& printer) const;

private:
    void AskPng();
    void AskPdf();
    void AskPrint();

    Maker make_;
    QString title_;
    std::optional<ContestSummary> summary_;
    QChartView* hourly_ = nullptr;
    QChartView* score_ = nullptr;
    QTableWidget* hours_ = nullptr;
    QTableWidget* bands_ = nullptr;
    QLabel* facts_ = nullptr;
    QLabel* breaks_ = nullptr;
};

} // namespace qarvel
