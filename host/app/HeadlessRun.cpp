#include "app/HeadlessRun.h"

#include "app/StationOfLog.h"

#include "formats/LogFileImporter.h"
#include "formats/AdifWriter.h"
#include "formats/CabrilloWriter.h"
#include "contest/ContestSession.h"
#include "contest/ContestSummary.h"
#include "formats/SummaryHtml.h"
#include "windows/SummaryCharts.h"
#include "contest/LogCheck.h"
#include "contest/QsoCheck.h"
#include "logbook/LogSchema.h"
#include "logbook/SchemaUpgrade.h"
#include "logbook/SubmissionStore.h"
#include "reference/MasterScp.h"
#include "contest/MessageBoxWatcher.h"
#include "contest/ScoreLine.h"
#include "app/StopSignals.h"
#include "contest/LiveScoring.h"
#include "logbook/SharedLog.h"
#include "logbook/SharedLogCopy.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QChart>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <algorithm>

namespace qarvel {

HeadlessRun::HeadlessRun(const CommandLine& options, const StationSettings& station,
                         const CountryFile* countries, QTextStream& out, QTextStream& err)
    : options_(options), station_(station), countries_(countries), out_(out), err_(err) {}

QString HeadlessRun::FormatGrid(const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (static_cast<std::size_t>(c) >= widths.size())
                widths.push_back(0);
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], row[c].size());
        }
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const int w = static_cast<int>(widths[static_cast<std::size_t>(c)]);
            cells << (c == 0 ? row[c].leftJustified(w) : row[c].rightJustified(w));
        }
        QString line = cells.join(QStringLiteral("  "));
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

bool HeadlessRun::WriteFile(const QString& path, const QByteArray& data) {
    // Written aside and renamed, so that a failed export never leaves half
    // a file where a good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        err_ << "qarvel: cannot write " << path << ": " << file.errorString() << Qt::endl;
        return false;
    }
    return true;
}

bool HeadlessRun::Import(LogBook& log) {
    if (!countries_) {
        err_ << "qarvel: no country file to resolve the imported calls with" << Qt::endl;
        return false;
    }
    QFile file(options_.importFile);
    if (!file.open(QIODevice::ReadOnly)) {
        err_ << "qarvel: cannot read " << options_.importFile << ": " << file.errorString()
             << Qt::endl;
        return false;
    }
    // A log the import starts is the imported station's; one that already
    // holds QSOs keeps the station it has.
    const bool newLog = log.Count() == 0;
    const LogImportReport report = LogFileImporter(*countries_).Import(file.readAll(), log);
    for (const QString& p : report.skipped)
        err_ << options_.importFile << ": " << p << "; skipped" << Qt::endl;
    if (!report.ok) {
        err_ << "qarvel: nothing imported from " << options_.importFile << ": " << report.error
             << Qt::endl;
        return false;
    }
    if (!report.warning.isEmpty())
        err_ << "qarvel: " << options_.importFile << ": " << report.warning << Qt::endl;
    skipped_ = !report.skipped.empty();
    out_ << "Imported " << report.imported << " QSOs from " << options_.importFile;
    if (skipped_)
        out_ << ", skipped " << report.skipped.size() << " malformed "
             << (report.format == QLatin1String("Cabrillo") ? "lines" : "records");
    out_ << "." << Qt::endl;
    // The log is that station's: the rest of the run, and every later run on
    // the log, scores, checks and exports it as such, unless --call says
    // otherwise.
    if (options_.call.isEmpty() && !report.station.isEmpty() && report.station != station_.call) {
        if (!newLog) {
            err_ << "qarvel: the imported log is " << report.station << "'s; this log stays "
                 << station_.call << "'s" << Qt::endl;
            return true;
        }
        station_.call = report.station;
        station_.ResolveFromCall(*countries_);
        station_.sentExchange = report.sentExchange;
        QString error;
        if (!StationOfLog::Keep(log, station_, &error)) {
            err_ << "qarvel: the imported log's station was not kept in the log: " << error
                 << Qt::endl;
            return false;
        }
        out_ << "Station of the imported log: " << station_.call << " (" << station_.dxccPrefix
             << ", " << station_.continent << ")." << Qt::endl;
    }
    return true;
}

bool HeadlessRun::LoadSubmission(LogBook& log) {
    QString error;
    const auto stored = SubmissionStore(log.Database(), log.Table()).Load(&error);
    if (!stored) {
        err_ << "qarvel: " << error << Qt::endl;
        return false;
    }
    submission_ = options_.Submission(*stored);
    return true;
}

bool HeadlessRun::Check(LogBook& log, const QString& pluginsFolder) {
    QString error;
    const auto rows = log.ReadInEntryOrder(&error);
    if (!rows) {
        err_ << "qarvel: " << error << Qt::endl;
        return false;
    }
    MasterScp scp;
    if (!scp.Load())
        err_ << "qarvel: " << MasterScp::kDefaultPath
             << " cannot be read; calls are not looked up in it" << Qt::endl;
    const QsoCheck qsoCheck = QsoCheck::FromPluginsFolder(countries_, pluginsFolder);
    LogCheck check(qsoCheck, &scp);
    check.SetStation(station_);
    const auto findings = check.Check(*rows, submission_);
    for (const LogFinding& f : findings)
        out_ << f.Line() << Qt::endl;
    const int faults = LogCheck::Faults(findings);
    out_ << "Checked " << rows->size() << " QSOs: " << faults << " faults, "
         << findings.size() - static_cast<std::size_t>(faults) << " for information." << Qt::endl;
    found_ = faults > 0;
    return true;
}

bool HeadlessRun::LoadSession(ContestSession& session, const QString& pluginsFolder) {
    QString error;
    if (!session.Load(pluginsFolder, &error)) {
        err_ << "qarvel: " << error << Qt::endl;
        return false;
    }
    session.SetStation(station_, options_.table);
    return true;
}

bool HeadlessRun::ScoreAndCabrillo(LogBook& log, const QString& pluginsFolder) {
    if (!options_.exportCabrillo.isEmpty() && station_.call.isEmpty()) {
        err_ << "qarvel: a Cabrillo log needs the own call: give --call or set it in qarvel"
             << Qt::endl;
        return false;
    }
    MessageBoxWatcher watcher;
    ContestSession session;
    if (!LoadSession(session, pluginsFolder))
        return false;
    session.Start();
    QString error;
    bool ok = true;
    for (const QString& text : watcher.Texts()) {
        err_ << "qarvel: the contest module reports: " << text << Qt::endl;
        ok = false;
    }
    const QString line = session.ScoreLineText();
    const std::optional<ScoreLine> score = ScoreLine::Parse(line);
    if (ok && !score) {
        err_ << "qarvel: the contest module shows no score line" << Qt::endl;
        ok = false;
    }
    if (ok && options_.score)
        out_ << FormatGrid(session.GridRows()) << line << Qt::endl;
    if (ok && !options_.exportCabrillo.isEmpty()) {
        const auto rows = log.ReadAll(&error);
        if (!rows) {
            err_ << "qarvel: " << error << Qt::endl;
            ok = false;
        } else {
            const CabrilloHeader header{
                CabrilloContestName(session.Title()), station_.call, score->score,
                QStringLiteral("qarvel %1").arg(QCoreApplication::applicationVersion()),
                submission_};
            ok = WriteFile(options_.exportCabrillo, WriteCabrillo(header, *rows).toUtf8());
            if (ok)
                out_ << "Wrote " << rows->size() << " QSOs, claimed score " << score->score
                     << ", to " << options_.exportCabrillo << "." << Qt::endl;
        }
    }
    session.Shutdown();
    return ok;
}

bool HeadlessRun::Summary(LogBook& log, const QString& pluginsFolder) {
    MessageBoxWatcher watcher;
    ContestSession session;
    if (!LoadSession(session, pluginsFolder))
        return false;
    session.Start();
    for (const QString& text : watcher.Texts())
        err_ << "qarvel: the contest module reports: " << text << Qt::endl;
    QString error;
    const auto summary =
        ContestSummary::FromLog(log, session, station_, pluginsFolder, &error);
    const QString title = session.Title().isEmpty() ? station_.call
                          : station_.call.isEmpty() ? session.Title()
                                                    : session.Title() + QStringLiteral(", ") + station_.call;
    session.Shutdown();
    if (!summary) {
        err_ << "qarvel: " << error << Qt::endl;
        return false;
    }
    QByteArray data;
    if (options_.summary.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        SummaryCharts::Picture(*summary).save(&buffer, "PNG");
    } else {
        const QSize size(900, 480);
        const std::unique_ptr<QChart> hourly(SummaryCharts::Hourly(*summary));
        const std::unique_ptr<QChart> score(SummaryCharts::Score(*summary));
        data = SummaryHtml::Write(*summary, title,
                                  SummaryHtml::DataUrl(SummaryCharts::Render(hourly.get(), size)),
                                  SummaryHtml::DataUrl(SummaryCharts::Render(score.get(), size)))
                   .toUtf8();
    }
    if (!WriteFile(options_.summary, data))
        return false;
    out_ << "Wrote the summary of " << summary->qsos << " QSOs to " << options_.summary << "."
         << Qt::endl;
    return true;
}

bool HeadlessRun::Follow(LogBook& log, const QString& pluginsFolder) {
    StopSignals stop;
    // Following only reads: a table of an older qarvel is brought up to
    // date by the first position that opens it, and the board waits for
    // that rather than change the shared log itself.
    bool stopped = false;
    QObject::connect(&stop, &StopSignals::Stop, &stop, [&stopped] { stopped = true; });
    for (bool said = false;
         !stopped && SchemaUpgrade(log.Database(), log.Table()).StoredVersion() <
                         LogSchemaVersion();
         said = true) {
        if (!said)
            err_ << "qarvel: the log table " << log.Table()
                 << " is of an older qarvel; the score follows once a position has opened the "
                    "log"
                 << Qt::endl;
        QEventLoop wait;
        QTimer::singleShot(500, &wait, &QEventLoop::quit);
        QObject::connect(&stop, &StopSignals::Stop, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (stopped)
        return true;
    MessageBoxWatcher watcher;
    ContestSession session;
    if (!LoadSession(session, pluginsFolder))
        return false;
    // The module follows a copy of the log of this run's own, which a worker
    // keeps equal to the server's table: a replay reads the copy, whatever
    // the server does meanwhile.
    QTemporaryDir folder;
    const QString name = log.ConnectionName();
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    QString error;
    const QString copyPath = folder.filePath(QStringLiteral("follow.sqlite"));
    if (!folder.isValid() || !SharedLogCopy::Open(copyPath, name, log.Table(), &error)) {
        err_ << "qarvel: " << (error.isEmpty() ? folder.errorString() : error) << Qt::endl;
        session.Shutdown();
        return false;
    }
    SharedLog shared(options_.log, log.Table(), copyPath);
    LiveScoring scoring(shared, session, log);
    qsizetype reported = 0;
    // The module's errors are said once each on the error stream; following
    // goes on.
    const auto report = [&] {
        for (; reported < watcher.Texts().size(); ++reported)
            err_ << "qarvel: the contest module reports: " << watcher.Texts()[reported]
                 << Qt::endl;
    };
    QObject::connect(&scoring, &LiveScoring::FiguresChanged, &scoring, [&] {
        report();
        const QString line = session.ScoreLineText();
        if (!line.isEmpty())
            out_ << line << Qt::endl;
    });
    bool wasOnline = false;
    bool said = false;
    bool started = false;
    bool ok = true;
    // The first score line once the copy holds the server's table (or the
    // server cannot be reached).
    const auto begin = [&] {
        if (started)
            return;
        started = true;
        if (!scoring.Start()) {
            report();
            err_ << "qarvel: the contest module shows no statistics" << Qt::endl;
            ok = false;
            QCoreApplication::exit(1);
        }
    };
    QObject::connect(&shared, &SharedLog::Rebuilt, &scoring, begin);
    QObject::connect(&shared, &SharedLog::StateChanged, &scoring, [&](bool online, int) {
        if (said && online == wasOnline)
            return;
        said = true;
        wasOnline = online;
        err_ << "qarvel: " << (online ? "online" : "offline") << Qt::endl;
        if (!online)
            begin();
    });
    QObject::connect(&shared, &SharedLog::Warning, &scoring,
                     [&](const QString& text) { err_ << "qarvel: " << text << Qt::endl; });
    QObject::connect(&stop, &StopSignals::Stop, &stop, [] { QCoreApplication::exit(0); });
    shared.Start();
    const int rc = QCoreApplication::exec();
    session.Shutdown();
    return ok && rc == 0;
}

int HeadlessRun::Exec(const QString& pluginsFolder) {
    LogBook log(ContestSession::ConnectionName(), options_.table);
    if (!options_.importFile.isEmpty() && !Import(log))
        return Failed;
    if ((options_.check || !options_.exportCabrillo.isEmpty()) && !LoadSubmission(log))
        return Failed;
    if (options_.check && !Check(log, pluginsFolder))
        return Failed;
    if ((options_.score || !options_.exportCabrillo.isEmpty()) &&
        !ScoreAndCabrillo(log, pluginsFolder))
        return Failed;
    if (!options_.exportAdif.isEmpty()) {
        QString error;
        const auto rows = log.ReadAll(&error);
        if (!rows) {
            err_ << "qarvel: " << error << Qt::endl;
            return Failed;
        }
        if (!WriteFile(options_.exportAdif,
                       WriteAdif(*rows, QCoreApplication::applicationVersion())))
            return Failed;
        out_ << "Wrote " << rows->size() << " QSOs to " << options_.exportAdif << "." << Qt::endl;
    }
    if (!options_.summary.isEmpty() && !Summary(log, pluginsFolder))
        return Failed;
    if (options_.follow && !Follow(log, pluginsFolder))
        return Failed;
    return skipped_ ? Skipped : found_ ? Findings : Ok;
}

} // namespace qarvel
