#include "app/CommandLine.h"

#include "logbook/LogConnection.h"
#include "logbook/LogSchema.h"
#include "cluster/ClusterNode.h"
#include "rig/RigAddress.h"
#include "keyer/CwDaemonKeyer.h"

#include <QCommandLineParser>

namespace qarvel {

namespace {

struct Options {
    QCommandLineOption log{
        QStringLiteral("log"),
        QStringLiteral("SQLite log file (created when missing). Default: log.sqlite "
                       "in qarvel's data folder."),
        QStringLiteral("FILE")};
    QCommandLineOption db{
        QStringLiteral("db"),
        QStringLiteral("PostgreSQL log: postgresql://user@host[:port]/db, items are libpq's "
                       "(?host=/dir a Unix socket folder, ?service=NAME); the password "
                       "from ~/.pgpass, PGPASSWORD or a service file."),
        QStringLiteral("URL")};
    QCommandLineOption table{QStringLiteral("table"),
                             QStringLiteral("Log table name (default Log)."),
                             QStringLiteral("NAME"), QStringLiteral("Log")};
    QCommandLineOption call{
        QStringLiteral("call"),
        QStringLiteral("Own call sign for this run; DXCC prefix and continent are "
                       "resolved from it unless given."),
        QStringLiteral("CALL")};
    QCommandLineOption restation{
        QStringLiteral("restation"),
        QStringLiteral("Make --call (with --my-dxcc, --my-continent) the station the log keeps, "
                       "replacing the call it was made with.")};
    QCommandLineOption dxcc{QStringLiteral("my-dxcc"),
                            QStringLiteral("Own DXCC prefix for this run."),
                            QStringLiteral("PREFIX")};
    QCommandLineOption continent{
        QStringLiteral("my-continent"),
        QStringLiteral("Own continent for this run (AF AN AS EU NA OC SA)."),
        QStringLiteral("CONT")};
    QCommandLineOption caption{QStringLiteral("caption"),
                               QStringLiteral("Log name shown in the statistics window's caption."),
                               QStringLiteral("TEXT")};
    QCommandLineOption countryFile{QStringLiteral("country-file"),
                                   QStringLiteral("Country file in cty.dat format (default "
                                                  "/usr/share/hamradio-files/cty.dat)."),
                                   QStringLiteral("FILE")};
    QCommandLineOption rig{
        QStringLiteral("rig"),
        QStringLiteral("Read frequency and mode from Hamlib's rigctld at HOST:PORT (port "
                       "4532 when left out) for this run; an empty value: no rig."),
        QStringLiteral("HOST:PORT")};
    QCommandLineOption keyer{
        QStringLiteral("keyer"),
        QStringLiteral("Send CW through cwdaemon (or winkeydaemon) at HOST:PORT (port 6789 "
                       "when left out) for this run; an empty value: no keyer."),
        QStringLiteral("HOST:PORT")};
    QCommandLineOption cluster{
        QStringLiteral("cluster"),
        QStringLiteral("Connect to the DX cluster node at HOST:PORT for this run; an empty "
                       "value: no cluster."),
        QStringLiteral("HOST:PORT")};
    QCommandLineOption score{
        QStringLiteral("score"),
        QStringLiteral("Print the statistics and the score line of the log, then exit.")};
    QCommandLineOption import{
        QStringLiteral("import"),
        QStringLiteral("Import the QSOs of an ADIF (.adi) file or a Cabrillo log into the "
                       "log, then exit."),
        QStringLiteral("FILE")};
    QCommandLineOption exportAdif{QStringLiteral("export-adif"),
                                  QStringLiteral("Write the log as an ADIF file, then exit."),
                                  QStringLiteral("FILE")};
    QCommandLineOption exportCabrillo{
        QStringLiteral("export-cabrillo"),
        QStringLiteral("Write the log as a Cabrillo 3.0 file with the "
                       "plug-in's score, then exit."),
        QStringLiteral("FILE")};
    QCommandLineOption follow{
        QStringLiteral("follow"),
        QStringLiteral("Without a window: print the score line of a shared PostgreSQL log, "
                       "then again at every change any position makes, until SIGINT or "
                       "SIGTERM.")};
    QCommandLineOption showMultipliers{QStringLiteral("show-multipliers"),
                                       QStringLiteral("Open the multipliers window at start.")};
    QCommandLineOption check{
        QStringLiteral("check"),
        QStringLiteral("List what a log checker would object to, one line per QSO finding, "
                       "then exit (status 4 when a fault is found).")};
    QCommandLineOption cabrillo{
        QStringLiteral("cabrillo"),
        QStringLiteral("A submission detail for this run, e.g. CATEGORY-POWER=LOW, NAME=..., "
                       "ADDRESS=... (once per line), PERIOD-START=\"2024-03-09 12:00\" (UTC); "
                       "may be repeated. Default: the details stored with the log."),
        QStringLiteral("TAG=VALUE")};
    QCommandLineOption summary{
        QStringLiteral("summary"),
        QStringLiteral("Write the contest's summary, then exit: FILE.html a page with the QSOs "
                       "per hour and band, the graphs, the figures per band and the breaks; "
                       "FILE.png the graphs alone."),
        QStringLiteral("FILE")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the version.")};

    void AddTo(QCommandLineParser& p) const {
        p.setApplicationDescription(QStringLiteral(
            "qarvel, a contest logging program for the Zelmar Contest.\n"
            "Without --score, --check, --import, --export-* or --summary it opens the log\n"
            "window. With them it works without a window, in this order: import,\n"
            "check, score, exports, summary; exit status 0 on success, 1 on an error, 2 for a wrong command\n"
            "line, 3 when an import skipped malformed records, 4 when --check found\n"
            "a fault."));
        p.addOptions({log, db, table, call, restation, dxcc, continent, caption, countryFile, rig, keyer, cluster, score,
                      import, exportAdif, exportCabrillo, follow, showMultipliers, check, cabrillo,
                      summary, help, version});
        p.addPositionalArgument(QStringLiteral("LOG"),
                                QStringLiteral("The log: an SQLite file or a postgresql:// address "
                                               "(instead of --log or --db)."),
                                QStringLiteral("[LOG]"));
    }
};

bool IsContinent(const QString& c) {
    static const QStringList continents = {
        QStringLiteral("AF"), QStringLiteral("AN"), QStringLiteral("AS"), QStringLiteral("EU"),
        QStringLiteral("NA"), QStringLiteral("OC"), QStringLiteral("SA")};
    return continents.contains(c);
}

} // namespace

CommandLine CommandLine::Parse(const QStringList& arguments) {
    CommandLine out;
    const Options o;
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    o.AddTo(p);
    if (!p.parse(arguments)) {
        out.error = p.errorText();
        return out;
    }
    out.help = p.isSet(o.help);
    out.version = p.isSet(o.version);

    QStringList logs;
    if (p.isSet(o.log))
        logs << p.value(o.log);
    if (p.isSet(o.db)) {
        if (!IsPostgresAddress(p.value(o.db))) {
            out.error =
                QStringLiteral("--db needs a postgresql:// address, not %1").arg(p.value(o.db));
            return out;
        }
        logs << p.value(o.db);
    }
    logs << p.positionalArguments();
    if (logs.size() > 1) {
        out.error = QStringLiteral("Give one log, not %1: %2")
                        .arg(logs.size())
                        .arg(logs.join(QStringLiteral(", ")));
        return out;
    }
    if (!logs.isEmpty()) {
        out.log = logs.first();
        if (out.log.isEmpty()) {
            out.error = QStringLiteral("The log name is empty");
            return out;
        }
    }

    out.table = p.value(o.table);
    if (!IsPlainTableName(out.table)) {
        out.error = QStringLiteral("The table name %1 is not a plain name (letters, digits, _)")
                        .arg(out.table);
        return out;
    }
    out.countryFile = p.value(o.countryFile);
    out.call = p.value(o.call).trimmed().toUpper();
    out.myDxcc = p.value(o.dxcc).trimmed().toUpper();
    out.myContinent = p.value(o.continent).trimmed().toUpper();
    out.caption = p.value(o.caption);
    if (p.isSet(o.continent) && !IsContinent(out.myContinent)) {
        out.error = QStringLiteral("%1 is not a continent (AF AN AS EU NA OC SA)")
                        .arg(p.value(o.continent));
        return out;
    }
    if (p.isSet(o.call) && out.call.isEmpty()) {
        out.error = QStringLiteral("--call needs a call sign");
        return out;
    }

    if (p.isSet(o.rig)) {
        out.rig = p.value(o.rig).trimmed();
        if (!out.rig->isEmpty() && !RigAddress::Parse(*out.rig)) {
            out.error = QStringLiteral("--rig needs HOST:PORT, not %1").arg(*out.rig);
            return out;
        }
    }

    if (p.isSet(o.keyer)) {
        out.keyer = p.value(o.keyer).trimmed();
        if (!out.keyer->isEmpty() && !CwDaemonKeyer::ParseAddress(*out.keyer)) {
            out.error = QStringLiteral("--keyer needs HOST:PORT, not %1").arg(*out.keyer);
            return out;
        }
    }
    if (p.isSet(o.cluster)) {
        out.cluster = p.value(o.cluster).trimmed();
        if (!out.cluster->isEmpty() && !ClusterNode::Parse(*out.cluster)) {
            out.error = QStringLiteral("--cluster needs HOST:PORT, not %1").arg(*out.cluster);
            return out;
        }
    }

    out.score = p.isSet(o.score);
    out.importFile = p.value(o.import);
    out.exportAdif = p.value(o.exportAdif);
    out.exportCabrillo = p.value(o.exportCabrillo);
    out.showMultipliers = p.isSet(o.showMultipliers);
    out.follow = p.isSet(o.follow);
    if (out.follow && !IsPostgresAddress(out.log)) {
        out.error = QStringLiteral("--follow needs a shared PostgreSQL log (--db URL)");
        return out;
    }
    out.check = p.isSet(o.check);
    out.restation = p.isSet(o.restation);
    if (out.restation && out.call.isEmpty()) {
        out.error = QStringLiteral("--restation needs --call with the log's new call");
        return out;
    }
    out.cabrillo = p.values(o.cabrillo);
    out.summary = p.value(o.summary);
    if (p.isSet(o.summary) && !out.summary.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) &&
        !out.summary.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) &&
        !out.summary.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        out.error = QStringLiteral("--summary needs a file ending in .html or .png, not %1")
                        .arg(out.summary);
        return out;
    }
    SubmissionDetails trial;
    for (const QString& setting : out.cabrillo) {
        const qsizetype eq = setting.indexOf(QLatin1Char('='));
        QString why;
        if (eq <= 0) {
            out.error = QStringLiteral("--cabrillo needs TAG=VALUE, not %1").arg(setting);
            return out;
        }
        if (!trial.Set(setting.left(eq), setting.mid(eq + 1), &why)) {
            out.error = QStringLiteral("--cabrillo %1: %2").arg(setting, why);
            return out;
        }
    }
    for (const auto& [option, value] :
         {std::pair{&o.import, out.importFile}, std::pair{&o.exportAdif, out.exportAdif},
          std::pair{&o.exportCabrillo, out.exportCabrillo}})
        if (p.isSet(*option) && value.isEmpty()) {
            out.error = QStringLiteral("--%1 needs a file name").arg(option->names().first());
            return out;
        }
    return out;
}

StationSettings CommandLine::Station(StationSettings stored, const CountryFile* countries) const {
    if (!call.isEmpty()) {
        stored.call = call;
        if (countries)
            stored.ResolveFromCall(*countries);
    }
    if (!myDxcc.isEmpty())
        stored.dxccPrefix = myDxcc;
    if (!myContinent.isEmpty())
        stored.continent = myContinent;
    if (!caption.isEmpty())
        stored.logName = caption;
    if (rig)
        stored.rig = *rig;
    if (cluster)
        stored.clusterNode = *cluster;
    return stored;
}

SubmissionDetails CommandLine::Submission(SubmissionDetails stored) const {
    QStringList cleared;
    for (const QString& setting : cabrillo) {
        const qsizetype eq = setting.indexOf(QLatin1Char('='));
        const QString tag = setting.left(eq).trimmed().toUpper();
        if (!cleared.contains(tag)) {
            cleared << tag;
            if (tag == QLatin1String("ADDRESS"))
                stored.address.clear();
            if (tag == QLatin1String("SOAPBOX"))
                stored.soapbox.clear();
        }
        QString ignored; // checked by Parse
        stored.Set(tag, setting.mid(eq + 1), &ignored);
    }
    return stored;
}

QString CommandLine::HelpText() {
    const Options o;
    QCommandLineParser p;
    o.AddTo(p);
    // helpText() names the program from the application object, which may
    // not exist yet.
    QString text = p.helpText();
    const qsizetype usage = text.indexOf(QStringLiteral("Usage: "));
    const qsizetype end = text.indexOf(QLatin1Char(' '), usage + 7);
    if (usage >= 0 && end > usage)
        text.replace(usage + 7, end - usage - 7, QStringLiteral("qarvel"));
    return text;
}

} // namespace qarvel
