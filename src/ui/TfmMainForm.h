#pragma once

#include "plugin/PluginRecord.h"
#include "scoring/ContestScorer.h"
#include "scoring/LogQuery.h"
#include "scoring/StatisticGrid.h"

#include <QStyle>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QPainter;
class QPushButton;
class QTableWidget;
class QFrame;

namespace zelmar {

class TFormStorage;
class TGlyphList;
class TSqlLogQuery;

// The statistics window: the per-band figures, the score line, "Recalc" and
// "Multipliers". It owns all scoring state; without it nothing is counted.
class TfmMainForm : public QWidget, public TStatisticGrid, private TMessagePump {
    Q_OBJECT
public:
    // The system command of the close box, the system menu's Close item and
    // the keyboard's close command.
    static constexpr unsigned kSC_CLOSE = 0xF060;

    static constexpr int kColumns = 5;
    static constexpr int kRows = 8;

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
    // Errors of the replay go on to the caller, with the action enabled again.
    void RecalcStatisticExecute();
    void btnOBL1Click();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void ShowDXList();
    // What _Release asks: the window goes once no code of the module is on
    // the stack, saving itself then; nothing put off runs on it any more.
    void Release();

    // Paints the cell (column, row) of StringGrid1 on `canvas`, in the grid's
    // own coordinates. The rectangle and state the caller offers are not
    // used: the grid's cell rectangle and its colours decide.
    void StringGrid1DrawCell(QPainter& canvas, int column, int row, const QRect& rect,
                             QStyle::State state);

    // True when the command was handled here (the close command minimises);
    // any other command is left to the standard handling.
    bool WMSysCommand(unsigned command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ProcessMessages() override;
    void BuildDesign();
    QFont WindowFont() const;
    // For calls from the event loop, where an error may not travel further.
    void RecalcReportingErrors();
    // Runs what was put off while a recalculation was on the stack.
    void RunDeferred() noexcept;

    TSqlLogQuery* LogQuery = nullptr;
    TFormStorage* FormStorage1 = nullptr;
    QFrame* Panel1 = nullptr;
    QObject* ActionList1 = nullptr;
    QAction* RecalcStatistic = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* RzBitBtn1 = nullptr;
    TGlyphList* ImageList1 = nullptr;
    QPushButton* RzBitBtn2 = nullptr;

    std::unique_ptr<TContestScorer> scorer_;

    // RecalcStatisticExecute frames on the stack; what they put off runs
    // when the last one has unwound.
    int recalcDepth_ = 0;
    // Between disabling and enabling the action: the replay is reading the
    // log and working on the scoring state.
    bool replaying_ = false;
    bool recalcPending_ = false;
    bool closePending_ = false;
    // A release or a close has asked for the window's destruction.
    bool going_ = false;
};

} // namespace zelmar
