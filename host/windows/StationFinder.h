#pragma once

#include "cluster/BandMapSpots.h"
#include "finding/CallJudge.h"
#include "finding/PartialCallMatcher.h"
#include "logbook/QsoRow.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

class QMainWindow;
class QMenuBar;

namespace qarvel {

class BandMapWindow;
class CheckPartialPane;
class ClusterClient;
class ClusterWindow;
class ContestSession;
class CountryFile;
class LogBook;
class QsoEntryLine;
class RigctldClient;
struct ClusterNode;
struct RigState;
struct SpotLine;
struct StationSettings;

// Finding stations beside the entry line: the check-partial pane as the
// call is typed, the log's own exchanges for Space, the DX cluster and the
// band maps, and grabbing a spot (the rig tuned there, its call in the
// Call field). All of it works between keystrokes on the window thread:
// a keystroke searches and lays out a few dozen calls, spots are taken as
// they come and the band maps are drawn again at most four times a second.
class StationFinder : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kShownCalls = 40;
    static constexpr int kRedrawMs = 250;
    static constexpr int kAgeTickMs = 30000;

    StationFinder(ContestSession& session, const CountryFile* countries, LogBook& log,
                  QsoEntryLine& entry, RigctldClient& rig, QMainWindow& window);
    ~StationFinder() override;

    // The known calls: MASTER.SCP's (Debian's hamradio-files by default).
    bool LoadMasterScp(const QString& path);
    // The log read again (at start, after an import or a correction).
    void ReloadLog();
    // A QSO another position logged: its call and what it worked.
    void TakeQso(const QsoRow& row);
    // The Spots menu, with the keys.
    void AddMenu(QMenuBar* bar);
    // The call the node is logged in with, and the node (none: no cluster).
    void SetStation(const StationSettings& station);
    // In Run the operator's own QSOs stay off the band map: they would all
    // stand on the run frequency. The S&P/Run mode's owner sets it.
    void SetRunning(bool running) { running_ = running; }

    void ShowPartial(const QString& typed);
    // Ctrl+P: the next shown check-partial call into the Call field.
    bool PutNextPartialCall();
    // Ctrl+G: the nearest spot on the band that is no dupe, then the next.
    bool GrabNextSpot();
    void GrabSpot(const BandMapSpot& spot);
    // Ctrl+T: the call in the Call field on the band map at the rig's frequency.
    bool MarkCallHere();

    BandMapWindow* OpenBandMap(const QString& band = {});
    ClusterWindow* OpenClusterWindow();
    void RedrawBandMaps();
    // Spots go after `minutes` (30 unless the operator set another time).
    void KeepSpots(int minutes);

    CheckPartialPane* Pane() const { return pane_; }
    ClusterClient* Cluster() const { return cluster_; }
    BandMapSpots& Spots() { return spots_; }
    CallJudge& Judge() { return judge_; }
    const PartialCallMatcher& Matcher() const { return matcher_; }
    std::vector<BandMapWindow*> BandMaps() const;

signals:
    // A spot was grabbed: the operator now searches and pounces.
    void SearchAndPounceRequested();

private:
    void Logged(const QsoRow& row);
    void TakeSpot(const SpotLine& spot);
    void FollowRig(const RigState& state);
    void RedrawSoon();
    double RigKilohertz() const;
    std::vector<BandMapSpot> GrabbableSpots(const QString& band);

    LogBook& log_;
    QsoEntryLine& entry_;
    RigctldClient& rig_;
    QMainWindow& window_;
    PartialCallMatcher matcher_;
    std::vector<std::string> scpCalls_;
    CallJudge judge_;
    CheckPartialPane* pane_ = nullptr;
    ClusterClient* cluster_ = nullptr;
    QPointer<ClusterWindow> clusterWindow_;
    std::vector<QPointer<BandMapWindow>> bandMaps_;
    BandMapSpots spots_;
    QTimer redraw_;
    QTimer ageTick_;
    bool running_ = false;
    qint64 rigHertz_ = 0;
    // The last grabbed spot: Ctrl+G again goes on from it.
    std::optional<BandMapSpot> grabbed_;
};

} // namespace qarvel
