#pragma once

#include "plugin/PluginRecord.h"
#include "scoring/ContestScorer.h"
#include "scoring/LogQuery.h"
#include "scoring/StatisticGrid.h"

#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QTableWidget;
class QFrame;

namespace zelmar {

class TFormStorage;
class TSqlLogQuery;

// The statistics window: the per-band figures, the score line, "Recalc" and
// "Multipliers". It owns all scoring state; without it nothing is counted.
class TfmMainForm : public QWidget, public TStatisticGrid, private TMessagePump {
    Q_OBJECT
public:
    // Copies the host's record into the current record, attaches the log
    // query and loads the reference tables. Throws TFileError when a table
    // file exists but cannot be read.
    explicit TfmMainForm(const TPluginRecord* hostRecord, QWidget* owner = nullptr);
    ~TfmMainForm() override;

    // The scoring state; null once a close has released it.
    TContestScorer* Scorer() { return scorer_.get(); }
    TFormStorage* FormStorage() { return FormStorage1; }

    // TStatisticGrid
    void SetCell(int column, int row, const std::string& text) override;
    void ClearFigures() override;
    void SetScoreLine(const std::string& text) override;

    void FormShow();
    void RecalcStatisticExecute();
    void btnOBL1Click();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void ShowDXList();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ProcessMessages() override;
    void BuildDesign();

    TSqlLogQuery* LogQuery = nullptr;
    TFormStorage* FormStorage1 = nullptr;
    QFrame* Panel1 = nullptr;
    QAction* RecalcStatistic = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* RzBitBtn1 = nullptr;
    QPushButton* RzBitBtn2 = nullptr;

    std::unique_ptr<TContestScorer> scorer_;
};

} // namespace zelmar
