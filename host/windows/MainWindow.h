#pragma once

#include "formats/LogImportReport.h"
#include "app/StationSettings.h"

#include <QMainWindow>

class QTableView;
class QLabel;

namespace qarvel {

class ContestSession;
class CountryFile;
class EntryFocusKeeper;
class LogCorrectionFlow;
class LogTableModel;
class LogBook;
class QsoEntryLine;
class RateWindow;
class SummaryWindow;
class RigctldClient;
class SendingControl;
class SerialNumbers;
class StationFinder;
class SharedLog;
class ScoreboardPasswordStore;
struct RigState;
struct SubmissionDetails;

// qarvel's main window: the log, newest QSO last, the entry line under it,
// and the menus for import, export, the station and the contest module.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(ContestSession& session, const CountryFile* countries, LogBook& log,
               const StationSettings& station, const QString& logTitle, QWidget* parent = nullptr);

    QsoEntryLine* EntryLine() const { return entry_; }
    LogTableModel* LogModel() const { return model_; }
    QTableView* LogView() const { return view_; }
    LogCorrectionFlow* Corrections() const { return corrections_; }
    // Contest > Rate; every QSO logged anywhere is handed to it.
    RateWindow* Rate() const { return rate_; }
    // Contest > Summary (made when first opened).
    void ShowSummary();
    SummaryWindow* Summary() const { return summary_; }
    // The keyboard back to the call field, also from the module's windows.
    void ReturnToEntry();

    // Imports the file (ADIF or Cabrillo) with a progress dialog, refreshes
    // the log view and has the module recount; the report is shown to the
    // operator.
    LogImportReport ImportLogFile(const QString& path);
    bool ExportAdifFile(const QString& path);
    bool ExportCabrilloFile(const QString& path);
    // The station dialog; a changed station is stored and handed on.
    void EditStation();
    // A shared log's station (and details) as another position gave them,
    // now in this position's copy: the window works and rescores as it.
    void TakeLogStation();
    const StationSettings& Station() const { return station_; }
    RigctldClient* Rig() const { return rig_; }
    SendingControl* Sending() const { return sending_; }
    // The serial numbers of a shared log; an SQLite log has its own.
    void SetSerialNumbers(SerialNumbers* serials);
    StationFinder* Finder() const { return finder_; }
    // A shared log: imports go to its server in one transaction.
    void SetSharedLog(SharedLog* shared) { shared_ = shared; }
    // Where Log > Submission details reads and keeps the scoreboard's password.
    void SetScoreboardPasswords(ScoreboardPasswordStore* store) { scoreboardPasswords_ = store; }

signals:
    // The window was closed: the application should quit.
    void QuitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    void ReloadLog();
    void SetStation(const StationSettings& station);
    void ShowStatistics();
    void ShowKeys();
    void ShowRigState(const RigState& state);
    // Log > Submission details, kept in the log database.
    void EditSubmission();
    // The whole-log check in a window; true when the operator goes on.
    bool CheckBeforeSending(const SubmissionDetails& details);

    ContestSession& session_;
    const CountryFile* countries_;
    LogBook& log_;
    StationSettings station_;
    LogTableModel* model_ = nullptr;
    LogCorrectionFlow* corrections_ = nullptr;
    EntryFocusKeeper* focus_ = nullptr;
    QTableView* view_ = nullptr;
    QsoEntryLine* entry_ = nullptr;
    QLabel* count_ = nullptr;
    RigctldClient* rig_ = nullptr;
    QLabel* rigStatus_ = nullptr;
    RateWindow* rate_ = nullptr;
    SummaryWindow* summary_ = nullptr;
    SendingControl* sending_ = nullptr;
    SerialNumbers* serials_ = nullptr;
    StationFinder* finder_ = nullptr;
    SharedLog* shared_ = nullptr;
    ScoreboardPasswordStore* scoreboardPasswords_ = nullptr;
};

} // namespace qarvel
