#include "app/WindowRun.h"

#include "app/ScoreboardPasswordStore.h"
#include "app/ScoreboardSettings.h"
#include "contest/ContestSession.h"
#include "contest/LiveScoreSource.h"
#include "contest/ScoreboardPoster.h"
#include "logbook/LogBook.h"
#include "windows/MainWindow.h"
#include "windows/QsoEntryLine.h"
#include "windows/StationDialog.h"
#include "windows/LogTableModel.h"
#include "windows/LogViewFollower.h"
#include "windows/SharedLogStatus.h"
#include "contest/LiveScoring.h"
#include "logbook/LiveLog.h"
#include "logbook/LogConnection.h"
#include "logbook/Outbox.h"
#include "ui/ErrorReporter.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <memory>

namespace qarvel {

WindowRun::WindowRun(const CommandLine& options, const StationSettings& stored,
                     const CountryFile* countries)
    : options_(options), station_(stored), countries_(countries) {}

int WindowRun::Exec(const QString& pluginsFolder, const QString& logTitle) {
    if (!station_.IsSet()) {
        StationDialog dialog(station_, countries_);
        if (dialog.exec() == QDialog::Accepted) {
            const StationSettings given = dialog.Station();
            if (!SaveStationSettings(given))
                zelmar::ReportError(QStringLiteral("The station settings could not be saved in %1")
                                        .arg(StationSettingsPath()));
            // This run's command-line overrides still hold.
            station_ = options_.Station(given, countries_);
        }
    }

    LogBook log(ContestSession::ConnectionName(), options_.table);
    ContestSession session;
    QString error;
    if (!session.Load(pluginsFolder, &error))
        zelmar::ReportError(error + QStringLiteral("\nQSOs are logged, but not scored."));
    session.SetStation(station_, options_.table);

    MainWindow window(session, countries_, log, station_, logTitle);
    // Ends the loop and nothing else. QCoreApplication::quit() would first
    // close every window, the module's too, before its _Release: the
    // statistics window would take the close as the operator's and store
    // itself as not visible.
    QObject::connect(
        &window, &MainWindow::QuitRequested, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // A shared log: the other positions' QSOs come in as they are logged,
    // and this position's wait in its outbox while the server is away.
    std::unique_ptr<Outbox> outbox;
    std::unique_ptr<LiveLog> live;
    std::unique_ptr<LiveScoring> scoring;
    if (IsPostgresAddress(logTitle)) {
        outbox = std::make_unique<Outbox>(Outbox::PathFor(logTitle, options_.table));
        if (outbox->IsOpen())
            log.SetOutbox(outbox.get());
        else
            zelmar::ReportError(outbox->Error());
        live = std::make_unique<LiveLog>(log);
        if (live->Start(&error)) {
            scoring = std::make_unique<LiveScoring>(*live, session);
            window.statusBar()->addPermanentWidget(new SharedLogStatus(*live, &window));
            // The view shows every position's rows, each changed in place.
            auto* follower = new LogViewFollower(log, *window.LogModel(), window.LogView(), &window);
            QObject::connect(live.get(), &LiveLog::Announced, follower, &LogViewFollower::Apply);
            QObject::connect(live.get(), &LiveLog::StateChanged, follower,
                             [follower](bool online) { follower->OnlineChanged(online); });
        } else {
            zelmar::ReportError(QStringLiteral("The other positions' QSOs come in only with a "
                                               "Recalc: %1").arg(error));
        }
    }
    window.show();

    // The live score: read from the statistics window between keystrokes,
    // posted without waiting.
    ScoreboardPasswordStore passwords(
        StationSettingsPath(), ScoreboardPasswordStore::FallbackPathBeside(StationSettingsPath()));
    window.SetScoreboardPasswords(&passwords);
    ScoreboardPoster scoreboard([&]() -> std::optional<ScoreboardPoster::Post> {
        const auto report = LiveScoreReport(session, log, window.Station().call,
                                            QCoreApplication::applicationVersion());
        if (!report)
            return std::nullopt;
        ScoreboardSettings settings = LoadScoreboardSettings(StationSettingsPath());
        settings.password = passwords.Password();
        return ScoreboardPoster::Post{settings, *report};
    });
    auto* scoreboardStatus = new QLabel(&window);
    scoreboardStatus->setObjectName(QStringLiteral("ScoreboardStatus"));
    scoreboardStatus->hide();
    window.statusBar()->addPermanentWidget(scoreboardStatus);
    QObject::connect(&scoreboard, &ScoreboardPoster::StatusChanged, scoreboardStatus,
                     [scoreboardStatus](const QString& text) {
                         scoreboardStatus->setText(text);
                         scoreboardStatus->show();
                     });
    QObject::connect(&passwords, &ScoreboardPasswordStore::Notice, scoreboardStatus,
                     [scoreboardStatus](const QString& text) {
                         scoreboardStatus->setText(text);
                         scoreboardStatus->show();
                     });
    QObject::connect(&passwords, &ScoreboardPasswordStore::Saved, &window,
                     [](bool ok, const QString& error) {
                         if (!ok)
                             zelmar::ReportError(error);
                     });
    passwords.Load();
    scoreboard.Start();

    // The module starts inside the event loop: its replay lets waiting
    // events run, and a quit asked for there must find a loop to end.
    QTimer::singleShot(0, &window, [&] {
        if (!session.IsLoaded())
            return;
        if (scoring)
            scoring->Start();
        else
            session.Start();
        if (options_.showMultipliers)
            session.OpenMultipliers();
        // The module's windows have just been shown: the keyboard stays
        // with the call field.
        window.ReturnToEntry();
    });
    const int rc = QApplication::exec();
    // Release only here, after the loop: never while a module's code runs.
    session.Shutdown();
    scoring.reset();
    live.reset();
    log.SetOutbox(nullptr);
    return rc;
}

} // namespace qarvel
