#include "app/WindowRun.h"

#include "app/ScoreboardPasswordStore.h"
#include "app/ScoreboardSettings.h"
#include "app/StationOfLog.h"
#include "app/SharedLogSession.h"
#include "contest/LiveScoring.h"
#include "contest/ContestSession.h"
#include "contest/LiveScoreSource.h"
#include "contest/QsoCheck.h"
#include "contest/ScoreboardPoster.h"
#include "logbook/LogBook.h"
#include "windows/MainWindow.h"
#include "windows/QsoEntryLine.h"
#include "windows/RateWindow.h"
#include "windows/StationDialog.h"
#include "windows/LogTableModel.h"
#include "logbook/LogConnection.h"
#include "logbook/SharedSerialNumbers.h"
#include "keyer/SendingControl.h"
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
    LogBook log(ContestSession::ConnectionName(), options_.table);
    if (!station_.IsSet()) {
        StationDialog dialog(station_, countries_);
        const QsoCheck counties = QsoCheck::FromPluginsFolder(countries_, pluginsFolder);
        dialog.SetCountyCheck(&counties);
        if (dialog.exec() == QDialog::Accepted) {
            const StationSettings given = dialog.Station();
            if (!SaveStationSettings(given))
                zelmar::ReportError(QStringLiteral("The station settings could not be saved in %1")
                                        .arg(StationSettingsPath()));
            // This run's command-line overrides still hold.
            station_ = options_.Station(given, countries_);
            QString error;
            if (!StationOfLog::Keep(log, station_, &error))
                zelmar::ReportError(error);
        }
    }

    ContestSession session;
    QString error;
    if (!session.Load(pluginsFolder, &error))
        zelmar::ReportError(error + QStringLiteral("\nQSOs are logged, but not scored."));
    session.SetStation(station_, options_.table);

    MainWindow window(session, countries_, log, station_, logTitle);
    if (options_.keyer)
        window.Sending()->UseCwDaemonForThisRun(*options_.keyer);
    // Ends the loop and nothing else. QCoreApplication::quit() would first
    // close every window, the module's too, before its _Release: the
    // statistics window would take the close as the operator's and store
    // itself as not visible.
    QObject::connect(
        &window, &MainWindow::QuitRequested, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // A shared log: this position works on its copy; a worker thread keeps
    // the copy and the server in step. The server hands out the serial
    // numbers, a block at a time, so positions never send the same one.
    std::unique_ptr<SharedLogSession> shared;
    std::unique_ptr<SharedSerialNumbers> serials;
    if (IsPostgresAddress(logTitle)) {
        shared = std::make_unique<SharedLogSession>(logTitle, options_.table, log, session, window);
        if (!shared->Start(&error)) {
            zelmar::ReportError(error);
            return 1;
        }
        serials = std::make_unique<SharedSerialNumbers>(logTitle, options_.table, station_.position);
        window.SetSerialNumbers(serials.get());
    }
    window.show();
    if (!stationNote_.isEmpty())
        window.statusBar()->showMessage(stationNote_);

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
        if (shared)
            shared->Scoring().Start();
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
    window.SetSerialNumbers(nullptr);
    serials.reset();
    shared.reset();
    return rc;
}

} // namespace qarvel
