#include "app/CommandLine.h"
#include "contest/ContestSession.h"
#include "reference/CountryFile.h"
#include "app/HeadlessRun.h"
#include "app/StationOfLog.h"
#include "logbook/BackupSchedule.h"
#include "logbook/LogBook.h"
#include "logbook/LogConnection.h"
#include "logbook/SharedLogAddress.h"
#include "logbook/SharedLogCopy.h"
#include "app/WindowRun.h"
#include "ui/ErrorReporter.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <optional>

using namespace qarvel;

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = CommandLine::Parse(arguments);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!options.error.isEmpty()) {
        err << "qarvel: " << options.error << "\nTry qarvel --help." << Qt::endl;
        return 2;
    }
    if (options.help) {
        out << CommandLine::HelpText();
        return 0;
    }
    if (options.version) {
        out << "qarvel " << QARVEL_VERSION << Qt::endl;
        return 0;
    }

    // Read before anything else may move the settings folder.
    const StationSettings stored = LoadStationSettings();
    std::optional<QTemporaryDir> moduleSettings;
    if (options.Headless()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // An offscreen run would store the module's offscreen window
        // placement over the operator's: give it a folder of its own.
        moduleSettings.emplace();
        if (moduleSettings->isValid()) {
            qputenv("XDG_CONFIG_HOME", moduleSettings->path().toLocal8Bit());
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
                qputenv("XDG_RUNTIME_DIR", moduleSettings->path().toLocal8Bit());
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qarvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("qarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QARVEL_VERSION));
    // Ties the windows to the installed desktop entry (Wayland's app id) and
    // to its icon; run from the build folder there is no icon, and no harm.
    QGuiApplication::setDesktopFileName(QStringLiteral(QARVEL_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QARVEL_APP_ID)));
    if (options.Headless())
        zelmar::SetErrorReporter(
            [&err](const QString& text) { err << "qarvel: " << text << Qt::endl; });

    auto countries = std::make_unique<CountryFile>();
    const QString countryPath = options.countryFile.isEmpty()
                                    ? QString::fromLatin1(CountryFile::kDefaultPath)
                                    : options.countryFile;
    if (!countries->Load(countryPath.toLocal8Bit().toStdString())) {
        const QString text =
            QStringLiteral("Cannot read the country file %1; countries stay unknown.")
                .arg(countryPath);
        if (options.Headless() && !options.importFile.isEmpty()) {
            err << "qarvel: " << text << Qt::endl;
            return 1;
        }
        zelmar::ReportError(text);
        countries.reset();
    }

    const QString logLocation = options.log.isEmpty() ? LogBook::DefaultLogPath() : options.log;
    const auto report = [&](const QString& text) {
        if (options.Headless())
            err << "qarvel: " << text << Qt::endl;
        else
            zelmar::ReportError(text);
    };
    int rc = 0;
    {
        QString error;
        QString warning;
        // A run that only reads writes nothing but the files it is asked
        // for: the log is opened read-only and not backed up. (A log that
        // is not there yet is made, as always.)
        const bool readOnly = options.ReadOnly();
        bool damaged = false;
        // The window works on this position's copy of a shared log, so it
        // starts, and logs, while the server is away.
        const bool sharedCopy = !options.Headless() && IsPostgresAddress(logLocation);
        const bool opened =
            sharedCopy
                ? SharedLogCopy::Open(SharedLogAddress(logLocation, options.table).CopyPath(),
                                      ContestSession::ConnectionName(), options.table, &error)
            : readOnly && (IsPostgresAddress(logLocation) ||
                           QFileInfo::exists(SqliteLogPath(logLocation)))
                ? OpenLogDatabaseForReading(logLocation, ContestSession::ConnectionName(),
                                            options.table, &error, &damaged)
                : LogBook::Open(logLocation, ContestSession::ConnectionName(), options.table,
                                &error, &warning);
        if (damaged)
            error += QStringLiteral(" qarvel has not written into it.\n") +
                     LogBackups(SqliteLogPath(logLocation)).RestoreAdvice();
        if (!opened) {
            report(error);
            return 1;
        }
        if (!warning.isEmpty())
            report(warning);
        LogBook log(ContestSession::ConnectionName(), options.table);
        StationOfLog stationOfLog(options, stored, countries.get());
        QString note;
        const StationOfLog::Outcome decided = stationOfLog.Decide(log, !readOnly, &note, &error);
        if (decided != StationOfLog::Outcome::Ok) {
            report(error);
            QSqlDatabase::database(ContestSession::ConnectionName(), false).close();
            QSqlDatabase::removeDatabase(ContestSession::ConnectionName());
            return decided == StationOfLog::Outcome::Refused ? 2 : 1;
        }
        if (!note.isEmpty() && options.Headless())
            err << "qarvel: " << note << Qt::endl;
        const StationSettings& station = stationOfLog.Station();
        // A PostgreSQL log is backed up by its server.
        std::unique_ptr<BackupSchedule> backups;
        if (!readOnly && !IsPostgresAddress(logLocation))
            backups = std::make_unique<BackupSchedule>(ContestSession::ConnectionName(),
                                                       LogBackups(SqliteLogPath(logLocation)));
        const QString plugins = QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins");
        if (options.Headless()) {
            rc = HeadlessRun(options, station, countries.get(), out, err).Exec(plugins);
        } else {
            if (backups)
                backups->Start();
            WindowRun run(options, station, countries.get());
            run.SetStationNote(note);
            rc = run.Exec(plugins, logLocation);
        }
        if (backups)
            backups->BackUp();
        backups.reset();
        QSqlDatabase::database(ContestSession::ConnectionName(), false).close();
    }
    QSqlDatabase::removeDatabase(ContestSession::ConnectionName());
    return rc;
}
