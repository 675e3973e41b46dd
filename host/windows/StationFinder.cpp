#include "windows/StationFinder.h"

#include "app/StationSettings.h"
#include "cluster/ClusterClient.h"
#include "cluster/ClusterNode.h"
#include "cluster/SpotLine.h"
#include "logbook/LogBook.h"
#include "reference/BandPlan.h"
#include "reference/MasterScp.h"
#include "rig/RigState.h"
#include "rig/RigctldClient.h"
#include "windows/BandMapWindow.h"
#include "windows/CheckPartialPane.h"
#include "windows/ClusterWindow.h"
#include "windows/QsoEntryLine.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

namespace qarvel {

namespace {

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

StationFinder::StationFinder(ContestSession& session, const CountryFile* countries, LogBook& log,
                             QsoEntryLine& entry, RigctldClient& rig, QMainWindow& window)
    : QObject(&window), log_(log), entry_(entry), rig_(rig), window_(window),
      judge_(session, countries) {
    judge_.LoadTables(QCoreApplication::applicationDirPath());

    pane_ = new CheckPartialPane;
    auto* dock = new QDockWidget(QStringLiteral("Check partial"), &window_);
    dock->setObjectName(QStringLiteral("CheckPartialDock"));
    dock->setWidget(pane_);
    dock->setFocusPolicy(Qt::NoFocus);
    window_.addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(pane_, &CheckPartialPane::CallChosen, &entry_, &QsoEntryLine::PutCall);

    connect(&entry_, &QsoEntryLine::CallTyped, this, &StationFinder::ShowPartial);
    connect(&entry_, &QsoEntryLine::Logged, this,
            [this](const QsoRow& row, int, qint64) { Logged(row); });
    entry_.SetLogExchanges(
        [this](const QsoRow& q) {
            return QString::fromStdString(judge_.History().Exchange(q.call.toStdString()));
        },
        [this](const QsoRow& q) {
            const QStringList counties = judge_.DifferingCounties(q.call);
            return counties.isEmpty()
                       ? QString()
                       : QStringLiteral("county differs between its QSOs: %1")
                             .arg(counties.join(QStringLiteral(", ")));
        });
    // The band maps show the entry line's band, picked by hand or the rig's.
    for (const char* name : {"EntryBand", "EntryMode"})
        if (auto* box = entry_.findChild<QComboBox*>(QLatin1String(name)))
            connect(box, &QComboBox::currentTextChanged, this, &StationFinder::RedrawSoon);

    cluster_ = new ClusterClient(this);
    connect(cluster_, &ClusterClient::SpotReceived, this, &StationFinder::TakeSpot);
    // Made now, shown later: it keeps the node's lines from the first one.
    clusterWindow_ = new ClusterWindow(*cluster_, &window_);
    auto* status = new QLabel(&window_);
    status->setObjectName(QStringLiteral("ClusterStatus"));
    status->hide();
    window_.statusBar()->addPermanentWidget(status);
    connect(cluster_, &ClusterClient::StatusChanged, status,
            [status](const QString& text, bool failed) {
                status->setText(text);
                status->setStyleSheet(failed ? QStringLiteral("color: #c00000") : QString());
                status->setVisible(!text.isEmpty());
            });
    connect(&rig_, &RigctldClient::StateChanged, this, &StationFinder::FollowRig);

    redraw_.setSingleShot(true);
    redraw_.setInterval(kRedrawMs);
    connect(&redraw_, &QTimer::timeout, this, &StationFinder::RedrawBandMaps);
    // Ages are shown in minutes, and spots go after their time even when
    // nothing new comes in.
    ageTick_.setInterval(kAgeTickMs);
    connect(&ageTick_, &QTimer::timeout, this, &StationFinder::RedrawBandMaps);
    ageTick_.start();

    const int keep = QSettings(StationSettingsPath(), QSettings::IniFormat)
                         .value(QStringLiteral("Cluster/KeepSpotsMinutes"), 30)
                         .toInt();
    spots_.SetMaxAgeMs(qint64(std::clamp(keep, 1, 240)) * 60000);

    LoadMasterScp(QLatin1String(MasterScp::kDefaultPath));
}

StationFinder::~StationFinder() = default;

bool StationFinder::LoadMasterScp(const QString& path) {
    scpCalls_.clear();
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    while (ok && !file.atEnd()) {
        const QByteArray line = file.readLine().trimmed().toUpper();
        if (!line.isEmpty() && !line.startsWith('#'))
            scpCalls_.emplace_back(line.constData(), static_cast<std::size_t>(line.size()));
    }
    ReloadLog();
    return ok;
}

void StationFinder::ReloadLog() {
    QString error;
    const auto rows = log_.ReadAll(&error);
    std::vector<std::string> calls = scpCalls_;
    if (rows)
        for (const QsoRow& row : *rows)
            calls.push_back(row.call.toStdString());
    matcher_.SetCalls(std::move(calls));
    // An unreadable log is reported by the log view; the pane then knows
    // MASTER.SCP's calls only.
    judge_.Reset(rows ? *rows : std::vector<QsoRow>{});
    RedrawSoon();
}

void StationFinder::AddMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(QStringLiteral("S&pots"));
    if (auto* dock = window_.findChild<QDockWidget*>(QStringLiteral("CheckPartialDock")))
        menu->addAction(dock->toggleViewAction());
    menu->addAction(QStringLiteral("&Next check-partial call into the Call field"),
                    QKeySequence(Qt::CTRL | Qt::Key_P), this, [this] { PutNextPartialCall(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Band map"), QKeySequence(Qt::CTRL | Qt::Key_B), this,
                    [this] { OpenBandMap(); });
    menu->addAction(QStringLiteral("&Another band map"), this, [this] {
        // The first contest band no map shows yet.
        QStringList shown;
        for (BandMapWindow* map : BandMaps())
            shown << map->Band();
        for (const QString& band : BandMapWindow::ContestBands())
            if (!shown.contains(band)) {
                OpenBandMap(band);
                return;
            }
        OpenBandMap(BandMapWindow::ContestBands().first());
    });
    menu->addAction(QStringLiteral("DX &cluster"), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                    [this] { OpenClusterWindow(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Grab the next spot"), QKeySequence(Qt::CTRL | Qt::Key_G),
                    this, [this] { GrabNextSpot(); });
    menu->addAction(QStringLiteral("&Mark: call on this frequency"),
                    QKeySequence(Qt::CTRL | Qt::Key_T), this, [this] { MarkCallHere(); });
    // The keys work from the band maps and the cluster window too.
    for (QAction* a : menu->actions())
        if (!a->shortcut().isEmpty())
            a->setShortcutContext(Qt::ApplicationShortcut);
}

void StationFinder::SetStation(const StationSettings& station) {
    cluster_->SetCall(station.call);
    cluster_->SetNode(ClusterNode::Parse(station.clusterNode));
}

void StationFinder::ShowPartial(const QString& typed) {
    const QString text = typed.trimmed().toUpper();
    const auto found = matcher_.Find(text.toStdString(), kShownCalls);
    const QsoRow q = entry_.CurrentQso();
    std::vector<CheckPartialPane::Entry> partial, neighbours;
    partial.reserve(found.partial.size());
    for (const std::string& call : found.partial) {
        const QString c = QString::fromStdString(call);
        partial.push_back({c, judge_.Judge(c, q.band, q.mode), -1});
    }
    for (const auto& n : found.neighbours) {
        const QString c = QString::fromStdString(n.call);
        neighbours.push_back({c, judge_.Judge(c, q.band, q.mode), static_cast<int>(n.marked)});
    }
    pane_->Show(text, std::move(partial), std::move(neighbours),
                static_cast<int>(found.partialTotal));
}

bool StationFinder::PutNextPartialCall() {
    const QString call = pane_->NextCall();
    if (call.isEmpty())
        return false;
    entry_.PutCall(call);
    return true;
}

void StationFinder::TakeQso(const QsoRow& row) {
    matcher_.AddCall(row.call.toStdString());
    judge_.Add(row);
    RedrawSoon();
}

void StationFinder::Logged(const QsoRow& row) {
    matcher_.AddCall(row.call.toStdString());
    judge_.Add(row);
    bool ok = false;
    const double megahertz = row.frequency.toDouble(&ok);
    if (!running_ && ok && megahertz > 0) {
        BandMapSpot s;
        s.call = row.call;
        s.kilohertz = megahertz * 1000;
        s.seenMs = Now();
        s.origin = BandMapSpot::Origin::Worked;
        spots_.Add(s);
    }
    RedrawSoon();
}

void StationFinder::TakeSpot(const SpotLine& line) {
    BandMapSpot s;
    s.call = line.call;
    s.kilohertz = line.kilohertz;
    s.seenMs = Now();
    s.spotter = line.spotter;
    s.comment = line.comment;
    // Only the contest bands have maps; WARC and VHF spots would only wait
    // there to be dropped.
    if (!BandMapWindow::ContestBands().contains(BandFromMegahertz(s.kilohertz / 1000)))
        return;
    if (!spots_.Add(s))
        return;
    // Judged as it comes, a burst's cost is spread over its lines rather
    // than falling on the next drawing of the maps.
    judge_.Judge(s.call, BandFromMegahertz(s.kilohertz / 1000), entry_.CurrentQso().mode);
    RedrawSoon();
}

void StationFinder::FollowRig(const RigState& state) {
    const qint64 hertz = state.link == RigState::Link::Connected ? state.hertz : 0;
    if (hertz != rigHertz_) {
        rigHertz_ = hertz;
        RedrawSoon();
    }
}

double StationFinder::RigKilohertz() const {
    return rigHertz_ / 1000.0;
}

void StationFinder::RedrawSoon() {
    if (!redraw_.isActive())
        redraw_.start();
}

void StationFinder::RedrawBandMaps() {
    const qint64 now = Now();
    spots_.Expire(now);
    const QsoRow q = entry_.CurrentQso();
    for (BandMapWindow* map : BandMaps()) {
        map->Follow(q.band, q.mode, RigKilohertz());
        if (map->isVisible())
            map->Refresh(now);
    }
}

void StationFinder::KeepSpots(int minutes) {
    spots_.SetMaxAgeMs(qint64(minutes) * 60000);
    QSettings(StationSettingsPath(), QSettings::IniFormat)
        .setValue(QStringLiteral("Cluster/KeepSpotsMinutes"), minutes);
    for (BandMapWindow* map : BandMaps())
        map->ShowKeepMinutes(minutes);
    RedrawBandMaps();
}

std::vector<BandMapWindow*> StationFinder::BandMaps() const {
    std::vector<BandMapWindow*> maps;
    for (const auto& map : bandMaps_)
        if (map)
            maps.push_back(map.data());
    return maps;
}

BandMapWindow* StationFinder::OpenBandMap(const QString& band) {
    BandMapWindow* map = nullptr;
    if (band.isEmpty() && !BandMaps().empty()) {
        map = BandMaps().front();
    } else {
        map = new BandMapWindow(spots_, judge_, &window_);
        connect(map, &BandMapWindow::SpotChosen, this, &StationFinder::GrabSpot);
        connect(map, &BandMapWindow::KeepMinutesChanged, this, &StationFinder::KeepSpots);
        bandMaps_.emplace_back(map);
        map->ShowBand(band);
    }
    const QsoRow q = entry_.CurrentQso();
    map->Follow(q.band, q.mode, RigKilohertz());
    map->show();
    map->raise();
    map->Refresh(Now());
    return map;
}

ClusterWindow* StationFinder::OpenClusterWindow() {
    if (!clusterWindow_)
        clusterWindow_ = new ClusterWindow(*cluster_, &window_);
    clusterWindow_->show();
    clusterWindow_->raise();
    return clusterWindow_;
}

std::vector<BandMapSpot> StationFinder::GrabbableSpots(const QString& band) {
    const QsoRow q = entry_.CurrentQso();
    std::vector<BandMapSpot> out;
    for (const BandMapSpot& s : spots_.On(band))
        if (s.origin != BandMapSpot::Origin::Worked &&
            judge_.Judge(s.call, band, q.mode) != CallStatus::Dupe)
            out.push_back(s);
    return out;
}

bool StationFinder::GrabNextSpot() {
    const QString band = entry_.CurrentQso().band;
    const std::vector<BandMapSpot> spots = GrabbableSpots(band);
    if (band.isEmpty() || spots.empty()) {
        window_.statusBar()->showMessage(
            band.isEmpty() ? QStringLiteral("No band: no spot to grab")
                           : QStringLiteral("No spot to grab on %1 MHz").arg(band),
            5000);
        return false;
    }
    const double rig = RigKilohertz();
    std::size_t pick = 0;
    const bool goOn = grabbed_ && grabbed_->band == band &&
                      (rig <= 0 || std::abs(rig - grabbed_->kilohertz) < 0.5);
    if (goOn) {
        // The next one up from the last grabbed, round to the lowest.
        const auto same = std::find_if(spots.begin(), spots.end(), [&](const BandMapSpot& s) {
            return s.call == grabbed_->call;
        });
        if (same != spots.end()) {
            pick = (static_cast<std::size_t>(same - spots.begin()) + 1) % spots.size();
        } else {
            const auto above = std::find_if(spots.begin(), spots.end(), [&](const BandMapSpot& s) {
                return s.kilohertz > grabbed_->kilohertz;
            });
            pick = above == spots.end() ? 0 : static_cast<std::size_t>(above - spots.begin());
        }
    } else if (rig > 0) {
        double best = 1e12;
        for (std::size_t i = 0; i < spots.size(); ++i)
            if (const double d = std::abs(spots[i].kilohertz - rig); d < best) {
                best = d;
                pick = i;
            }
    }
    GrabSpot(spots[pick]);
    return true;
}

void StationFinder::GrabSpot(const BandMapSpot& spot) {
    grabbed_ = spot;
    rig_.Tune(std::llround(spot.kilohertz * 1000));
    entry_.PutCall(spot.call);
    ShowPartial(spot.call);
    window_.activateWindow();
    window_.statusBar()->showMessage(
        QStringLiteral("%1 on %2 kHz%3")
            .arg(spot.call)
            .arg(spot.kilohertz, 0, 'f', 1)
            .arg(rig_.State().link == RigState::Link::Connected ? QString()
                                                                 : QStringLiteral(" (no rig to tune)")),
        5000);
    emit SearchAndPounceRequested();
}

bool StationFinder::MarkCallHere() {
    const QString call = entry_.CurrentQso().call;
    if (call.isEmpty() || rigHertz_ <= 0) {
        window_.statusBar()->showMessage(
            call.isEmpty() ? QStringLiteral("Type the call first: it is marked at the rig's "
                                            "frequency")
                           : QStringLiteral("No rig frequency to mark %1 at").arg(call),
            5000);
        return false;
    }
    BandMapSpot s;
    s.call = call;
    s.kilohertz = RigKilohertz();
    s.seenMs = Now();
    s.origin = BandMapSpot::Origin::Marked;
    if (!spots_.Add(s))
        return false;
    RedrawSoon();
    return true;
}

} // namespace qarvel
