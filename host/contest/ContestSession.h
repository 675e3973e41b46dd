#pragma once

#include "contest/PluginHost.h"
#include "logbook/QsoRow.h"
#include "app/StationSettings.h"
#include "plugin/PluginRecord.h"

#include <QString>
#include <QStringList>
#include <vector>

class QAction;
class QWidget;

namespace qarvel {

// The contest module as qarvel drives it: loaded from the Plugins folder,
// given the station and the log, asked about each QSO, and released and
// unloaded in the one safe order. The statistics window it opens is reached
// only by its object names ("fmMainForm", "StringGrid1", "Label1",
// "RzBitBtn1", "RzBitBtn2", "RecalcStatistic").
class ContestSession {
public:
    static constexpr int kConnection = 1;

    ContestSession();
    ~ContestSession();
    ContestSession(const ContestSession&) = delete;
    ContestSession& operator=(const ContestSession&) = delete;

    // The name of the Qt SQL connection the module reads the log through.
    static QString ConnectionName();

    // Loads the modules of `folder` and picks the contest module. False,
    // with the reason, when there is none.
    bool Load(const QString& folder, QString* error);
    bool IsLoaded() const { return contest_ != nullptr; }
    QString Title() const;

    // The station and the log table every record carries.
    void SetStation(const StationSettings& station, const QString& table);

    // The module takes the station from every record it is handed, and
    // scores and replays with the last one: this hands it the current
    // station with an empty QSO that counts nothing. (The caption keeps the
    // log name the window was opened with.)
    void HandOverStation();

    // Opens (or shows again) the statistics window; the first time, the
    // module replays the whole log before this returns.
    bool Start();
    bool IsStarted() const;
    // While the module replays the log (its Recalc is disabled meanwhile).
    bool Replaying() const;
    // The statistics window's Recalc action, which the module disables for
    // the time of each replay; null without the window.
    QAction* RecalcAction() const;

    // -1 for a duplicate, else the points; 0 while no statistics window is open.
    int Score(const QsoRow& qso);
    // Counts a QSO that is already in the log; same results as Score.
    int Add(const QsoRow& qso);
    // The exchange the module knows for the station in `qso`, or empty.
    QString GrabExchange(const QsoRow& qso);

    QWidget* StatisticsWindow() const;
    QWidget* MultipliersWindow() const;
    // "Recalc": the module replays the log. False when there is no window.
    bool Recalc();
    // "Multipliers": opens the multipliers window.
    bool OpenMultipliers();
    QString ScoreLineText() const;
    // The statistics grid, row by row, as its cells read.
    std::vector<QStringList> GridRows() const;

    // _Release, the deferred deletions, then unload. Safe to call twice.
    void Shutdown();

private:
    zelmar::TPluginRecord RecordFor(const QsoRow& qso) const;

    PluginHost host_;
    LoadedPlugin* contest_ = nullptr;
    zelmar::TPluginRecord base_{};
};

} // namespace qarvel
