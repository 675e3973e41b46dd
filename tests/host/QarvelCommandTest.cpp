#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include "QarvelRun.h"
#include <gtest/gtest.h>

namespace {

using Result = qarvel::testing::QarvelResult;

// qarvel as built, run without a display and with settings of its own.
class QarvelCommand : public ::testing::Test {
protected:
    Result Run(const QStringList& args) {
        return qarvel::testing::RunQarvel(dir_.path(), args);
    }

    // The fixture log as an SQLite file.
    QString FixtureLog() {
        const QString path = dir_.filePath("fixture.sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
            db.setDatabaseName(path);
            EXPECT_TRUE(db.open());
            QFile sql(QStringLiteral(QARVEL_FIXTURES "/small-contest.sql"));
            EXPECT_TRUE(sql.open(QIODevice::ReadOnly));
            for (const QString& line : QString::fromUtf8(sql.readAll()).split('\n')) {
                if (line.trimmed().isEmpty() || line.startsWith("--"))
                    continue;
                QSqlQuery q(db);
                EXPECT_TRUE(q.exec(line)) << q.lastError().text().toStdString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("fixture");
        return path;
    }

    // The printed grid as words, row by row, and the score line.
    static std::vector<QStringList> Words(const QString& out) {
        std::vector<QStringList> rows;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
            rows.push_back(line.split(' ', Qt::SkipEmptyParts));
        return rows;
    }

    static void ExpectFixtureFigures(const QString& out) {
        const std::vector<QStringList> expected = {
            {"Band", "QSOs", "Points", "Multipliers", "DXCC"},
            {"160"},
            {"80", "1", "8", "0", "0"},
            {"40", "2", "12", "1", "1"},
            {"20", "4", "20", "2", "1"},
            {"15", "1", "4", "0", "1"},
            {"10"},
            {"Total", "9", "46", "3", "4"},
            {"Score:", "46*(3+4)=322"},
        };
        const auto rows = Words(out);
        ASSERT_EQ(rows.size(), expected.size()) << out.toStdString();
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].join(' ').toStdString(), expected[i].join(' ').toStdString())
                << "row " << i;
    }

    QTemporaryDir dir_;
};

TEST_F(QarvelCommand, ScorePrintsTheStatisticsOfTheFixtureLog) {
    const Result r = Run({"--score", "--my-dxcc", "YO", "--my-continent", "EU", FixtureLog()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ExpectFixtureFigures(r.out);
    EXPECT_TRUE(r.out.endsWith("Score: 46*(3+4)=322\n"));
}

TEST_F(QarvelCommand, ScoreOfAnEmptyLogIsAllZeros) {
    const Result r = Run({"--score", "--log", dir_.filePath("new.sqlite")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto rows = Words(r.out);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[7].join(' '), "Total 0 0 0 0");
    EXPECT_EQ(rows[8].join(' '), "Score: 0*(0+0)=0");
}

TEST_F(QarvelCommand, ImportReportsTheBadRecordThenScoresAndExports) {
    const QString log = dir_.filePath("imported.sqlite");
    const Result imported =
        Run({"--import", QStringLiteral(QARVEL_FIXTURES "/small-contest.adi"), "--log", log});
    EXPECT_EQ(imported.exitCode, 3) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains("Imported 10 QSOs")) << imported.out.toStdString();
    EXPECT_TRUE(imported.err.contains("record 10 (line 12): QSO_DATE 20240399"))
        << imported.err.toStdString();

    const Result score = Run({"--score", "--call", "YO3ZZZ", log});
    ASSERT_EQ(score.exitCode, 0) << score.err.toStdString();
    ExpectFixtureFigures(score.out);

    const QString cabrillo = dir_.filePath("out.cbr");
    const Result exported = Run({"--export-cabrillo", cabrillo, "--call", "YO3ZZZ", log});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    QFile f(cabrillo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(lines.first(), "START-OF-LOG: 3.0");
    EXPECT_TRUE(lines.contains("CALLSIGN: YO3ZZZ"));
    EXPECT_TRUE(lines.contains("CLAIMED-SCORE: 322"));
    EXPECT_TRUE(lines.contains("CONTEST: ZELMAR-CONTEST"));
    EXPECT_EQ(lines.filter(QRegularExpression("^QSO: ")).size(), 10);
    // Time order: the first QSO of the contest first.
    EXPECT_EQ(lines.filter(QRegularExpression("^QSO: ")).first(),
              "QSO: 14000 CW 2024-03-09 1200 YO3ZZZ        599 BU     YO5ZAA        599 AB");
    EXPECT_EQ(lines.last(), "END-OF-LOG:");
}

TEST_F(QarvelCommand, AdifExportReadsBackToTheSameScore) {
    const QString adi = dir_.filePath("out.adi");
    const Result exported = Run({"--export-adif", adi, FixtureLog()});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QString copy = dir_.filePath("copy.sqlite");
    const Result imported =
        Run({"--import", adi, "--score", "--my-dxcc", "YO", "--my-continent", "EU", copy});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith("Imported 10 QSOs")) << imported.out.toStdString();
    EXPECT_TRUE(imported.out.endsWith("Score: 46*(3+4)=322\n")) << imported.out.toStdString();
}

TEST_F(QarvelCommand, FailuresAreReportedNotHidden) {
    // A table without the columns the module reads: its error box must not
    // hang a run without a display.
    const QString path = dir_.filePath("broken.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "broken");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE Broken (ID INTEGER PRIMARY KEY)");
        db.close();
    }
    QSqlDatabase::removeDatabase("broken");
    const Result moduleError = Run({"--score", "--table", "Broken", path});
    EXPECT_EQ(moduleError.exitCode, 1);
    EXPECT_TRUE(moduleError.err.contains("the contest module reports"))
        << moduleError.err.toStdString();
    EXPECT_FALSE(moduleError.out.contains("Score:"));

    const Result noLog = Run({"--score", "--log", "/nonexistent/folder/log.sqlite"});
    EXPECT_EQ(noLog.exitCode, 1);
    EXPECT_TRUE(noLog.err.contains("Cannot open the log")) << noLog.err.toStdString();

    const Result noFile =
        Run({"--import", dir_.filePath("missing.adi"), dir_.filePath("x.sqlite")});
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_TRUE(noFile.err.contains("cannot read")) << noFile.err.toStdString();

    const Result noCall = Run({"--export-cabrillo", dir_.filePath("o.cbr"), FixtureLog()});
    EXPECT_EQ(noCall.exitCode, 1);
    EXPECT_TRUE(noCall.err.contains("own call")) << noCall.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir_.filePath("o.cbr")));

    const Result wrong = Run({"--table", "x;y"});
    EXPECT_EQ(wrong.exitCode, 2);
}

TEST_F(QarvelCommand, DamagedLogIsLeftAsItIsAndTheAdvisedRestoreBringsItBack) {
    const QString log = dir_.filePath("it's a log.sqlite");
    ASSERT_EQ(Run({"--import", QStringLiteral(QARVEL_FIXTURES "/small-contest.adi"), log}).exitCode,
              3);
    // The run that changed the log left a backup of it at its end.
    const QDir backups(dir_.filePath("data/qarvel/backups"));
    const QStringList taken = backups.entryList({"it's a log-*.sqlite"}, QDir::Files);
    ASSERT_EQ(taken.size(), 1) << backups.entryList().join(' ').toStdString();

    // Every page after the first (the schema) overwritten.
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    ASSERT_GT(size, 4096);
    file.seek(4096);
    file.write(QByteArray(size - 4096, '\x55'));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray damaged = file.readAll();
    file.close();

    const Result refused = Run({"--score", log});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("qarvel: The log " + log + " is damaged: "))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("The newest backup is " + backups.filePath(taken[0])));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged) << "qarvel wrote into the damaged log";
    file.close();
    EXPECT_FALSE(QFile::exists(log + "-wal"));

    // The commands qarvel gives, as the operator would paste them.
    QStringList commands;
    for (const QString& line : refused.err.split('\n'))
        if (line.startsWith("    "))
            commands << line.trimmed();
    ASSERT_EQ(commands.size(), 2) << refused.err.toStdString();
    QProcess shell;
    shell.start("sh", {"-ec", commands.join('\n')});
    ASSERT_TRUE(shell.waitForFinished());
    ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    const Result restored = Run({"--score", "--my-dxcc", "YO", "--my-continent", "EU", log});
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    ExpectFixtureFigures(restored.out);
    EXPECT_TRUE(QFile::exists(log + ".damaged"));

    // Not a database at all: said so, and the file is left alone.
    const QString text = dir_.filePath("notes.sqlite");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QARVEL_FIXTURES "/small-contest.adi"), text));
    const Result wrongFile = Run({"--score", text});
    EXPECT_EQ(wrongFile.exitCode, 1);
    EXPECT_TRUE(wrongFile.err.contains("The log " + text + " is not an SQLite database."))
        << wrongFile.err.toStdString();
    QFile notes(text), adif(QStringLiteral(QARVEL_FIXTURES "/small-contest.adi"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly) && adif.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), adif.readAll());
}

TEST_F(QarvelCommand, HelpNamesEveryOption) {
    const Result r = Run({"--help"});
    ASSERT_EQ(r.exitCode, 0);
    for (const char* option :
         {"--score", "--import", "--export-adif", "--export-cabrillo", "--db", "--log"})
        EXPECT_TRUE(r.out.contains(QLatin1String(option))) << option;
}

// A log that holds each kind of finding once (the call no country
// resolves is also missing from MASTER.SCP), and a clean log.
TEST_F(QarvelCommand, CheckFindsEachKindOnceAndPassesACleanLog) {
    const auto makeLog = [this](const QString& name, const QStringList& rows) {
        const QString path = dir_.filePath(name);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery(db).exec(
            "CREATE TABLE Log (ID INTEGER PRIMARY KEY, QSODate VARCHAR(255), QSOTime "
            "VARCHAR(255), CallSign VARCHAR(255), Frequency VARCHAR(255), DigiBand VARCHAR(255), "
            "QSOMode VARCHAR(255), QSOReportSent VARCHAR(255), QSOReportRecived VARCHAR(255), "
            "DXCCPrefix VARCHAR(255), MainPrefix VARCHAR(255), Continent VARCHAR(255))");
        for (const QString& values : rows) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec("INSERT INTO Log (QSODate, QSOTime, CallSign, Frequency, DigiBand, "
                               "QSOMode, QSOReportSent, QSOReportRecived) VALUES (" +
                               values + ")"))
                << q.lastError().text().toStdString();
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        return path;
    };
    const QStringList faulty = {
        "'2024-03-09', '12:00:00', 'YO5BRZ', '14.025', '14', 'CW', '599 BU', '599 BH'",
        "'2024-03-09', '12:01:00', 'YO5BRZ', '14.030', '14', 'CW', '599 BU', '599 BH'",
        "'2024-03-09', '12:02:00', 'YO3APJ', '14.031', '14', 'CW', '599 BU', '599'",
        "'2024-03-09', '12:03:00', 'YO8RIX', '14.032', '14', 'CW', '599 BU', '599 ZZ'",
        "'2024-03-09', '12:04:00', 'Q1ZZ', '14.033', '14', 'CW', '599 BU', '599 001'",
        "'2024-03-09', '12:05:00', 'DL1ABC', '14.034', '14', 'CW', '599 BU', '599 002'",
        "'2024-03-09', '12:06:00', 'W1AW', '15.000', '14', 'CW', '599 BU', '599 003'",
        "'2024-03-09', '12:07:00', 'DJ5MW', '7.010', '14', 'CW', '599 BU', '599 004'",
        "'2024-03-09', '12:03:30', 'F5VHY', '14.035', '14', 'CW', '599 BU', '599 005'",
        "'2024-03-09', '12:08:00', 'W1AW', '14.250', '14', 'SSB', '59', '59 006'",
        "'2024-03-09', '12:09:00', 'DJ5MW', '7.010', '7', 'CW', '599 BU', '599 007'",
        "'2024-03-09', '18:30:00', 'YO9HP', '14.036', '14', 'CW', '599 BU', '599 PH'",
    };
    const QString log = makeLog("faulty.sqlite", faulty);
    const QStringList categories = {"--cabrillo", "CATEGORY-OPERATOR=SINGLE-OP", "--cabrillo",
                                    "CATEGORY-POWER=LOW", "--cabrillo",
                                    "CATEGORY-TRANSMITTER=ONE", "--call", "YO3ZZZ"};
    const Result r = Run(categories + QStringList{"--check", "--cabrillo", "CATEGORY-BAND=20M", "--cabrillo",
                          "PERIOD-START=2024-03-09 12:00", "--cabrillo",
                          "PERIOD-END=2024-03-09 18:00", log});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    const std::vector<std::pair<int, const char*>> expected = {
        {2, "(information) dupe, 0 points"}, {3, "holds no county"},
        {4, "ZZ is not a county"}, {5, "cannot resolve Q1ZZ"},
        {5, "(information) MASTER.SCP does not list Q1ZZ"},
        {6, "(information) MASTER.SCP does not list DL1ABC"},
        {7, "outside every band"}, {8, "in the 7 MHz band"},
        {9, "out of time order"},  {10, "no exchange sent"},
        {11, "CATEGORY-BAND 20M is declared"}, {12, "outside the contest period"},
        {12, "(information) a break of 380 minutes before this QSO, 2024-03-09 12:10 to "
             "2024-03-09 18:29"},
    };
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(expected.size()) + 1) << r.out.toStdString();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QString& line = lines[static_cast<qsizetype>(i)];
        EXPECT_TRUE(line.startsWith(QString("QSO %1, ").arg(expected[i].first)) &&
                    line.contains(QLatin1String(expected[i].second)))
            << "expected QSO " << expected[i].first << " '" << expected[i].second << "', got "
            << line.toStdString();
    }
    EXPECT_EQ(lines.last(), "Checked 12 QSOs: 9 faults, 4 for information.");

    // The check changed nothing: the rows read back as they were written.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reread");
        db.setDatabaseName(log);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("SELECT QSODate, QSOTime, CallSign, Frequency, DigiBand, QSOMode, "
                           "QSOReportSent, QSOReportRecived FROM Log ORDER BY ID"));
        QStringList read;
        while (q.next()) {
            QStringList fields;
            for (int c = 0; c < 8; ++c)
                fields << "'" + q.value(c).toString() + "'";
            read << fields.join(", ");
        }
        EXPECT_EQ(read, faulty);
        db.close();
    }
    QSqlDatabase::removeDatabase("reread");

    const Result clean = Run(categories + QStringList{"--check", makeLog("clean.sqlite",
                            {"'2024-03-09', '12:00:00', 'YO5BRZ', '14.025', '14', 'CW', '599 BU', "
                             "'599 BH'",
                             "'2024-03-09', '12:01:00', 'W1AW', '', '7', 'CW', '599 BU', '599 1'",
                             "'2024-03-09', '12:01:00', 'DJ5MW', '3.52', '3.5', 'CW', '599 BU', "
                             "'599 2'"})});
    EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString() << clean.err.toStdString();
    EXPECT_EQ(clean.out, "Checked 3 QSOs: 0 faults, 0 for information.\n");

    const Result bad = Run({"--check", "--cabrillo", "NAME=Ion\u0219", log});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("not ASCII")) << bad.err.toStdString();
}

// The settings of the test's own qarvel (XDG_CONFIG_HOME below the folder).
void WriteSettingsStation(const QString& home, const QString& call, const QString& prefix) {
    QDir().mkpath(home + "/config/qarvel");
    QFile f(home + "/config/qarvel/qarvel-station.conf");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[Station]\nCall=%1\nDXCCPrefix=%2\nContinent=EU\n")
                .arg(call, prefix)
                .toUtf8());
}

// Every file below `root` with its size and contents' hash.
QStringList FilesBelow(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files << path + " " +
                     QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
    }
    files.sort();
    return files;
}

TEST_F(QarvelCommand, ALogIsScoredExportedAndCheckedAsItsOwnStation) {
    const QString log = dir_.filePath("yo.sqlite");
    ASSERT_EQ(Run({"--import", QStringLiteral(QARVEL_FIXTURES "/small-contest.adi"), "--call",
                   "YO3ZZZ", log})
                  .exitCode,
              3);
    const Result asMade = Run({"--score", log});
    ASSERT_EQ(asMade.exitCode, 0) << asMade.err.toStdString();
    ExpectFixtureFigures(asMade.out);

    // Another station in the settings, as for the next contest.
    WriteSettingsStation(dir_.path(), "DL1ABC", "DL");
    const Result score = Run({"--score", log});
    ASSERT_EQ(score.exitCode, 0) << score.err.toStdString();
    EXPECT_EQ(score.out, asMade.out);

    const QString cabrillo = dir_.filePath("yo.cbr");
    ASSERT_EQ(Run({"--export-cabrillo", cabrillo, log}).exitCode, 0);
    QFile f(cabrillo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("CALLSIGN: YO3ZZZ"));
    EXPECT_TRUE(lines.contains("CLAIMED-SCORE: 322"));
    const QStringList qsos = lines.filter(QRegularExpression("^QSO: "));
    ASSERT_EQ(qsos.size(), 10);
    for (const QString& line : qsos)
        EXPECT_EQ(line.split(' ', Qt::SkipEmptyParts).value(5), "YO3ZZZ") << line.toStdString();

    // Judged as YO3ZZZ, who sends a county: "BU" fits.
    const Result check = Run({"--check", log});
    EXPECT_FALSE(check.out.contains("sent \"BU\"")) << check.out.toStdString();
    EXPECT_FALSE(check.out.contains("no own call")) << check.out.toStdString();

    // Another call is refused, naming both; on purpose it rescores as that.
    const Result refused = Run({"--score", "--call", "DL1ABC", log});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("YO3ZZZ") && refused.err.contains("DL1ABC"))
        << refused.err.toStdString();
    const Result moved = Run({"--score", "--call", "DL1ABC", "--restation", log});
    ASSERT_EQ(moved.exitCode, 0) << moved.err.toStdString();
    EXPECT_NE(moved.out, asMade.out);
    const Result after = Run({"--check", log});
    EXPECT_TRUE(after.out.contains("sent \"BU\", but DL1ABC is no YO station")) << after.out.toStdString();
}

TEST_F(QarvelCommand, CheckNamesANonContestBandARepeatedSerialAndAMissingPower) {
    const QString adi = dir_.filePath("dl.adi");
    {
        QFile f(adi);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray text = "<ADIF_VER:5>3.1.4 <EOH>\n";
        const char* qsos[][4] = {{"YO5ZAA", "20m", "1200", "001"}, {"YO7ZAB", "20m", "1201", "002"},
                                 {"F5VHY", "40m", "1202", "002"}, {"YO3APJ", "30m", "1203", "003"},
                                 {"DJ5MW", "15m", "1204", "004"}};
        const char* received[] = {"AB", "AG", "007", "BU", "011"};
        for (std::size_t i = 0; i < std::size(qsos); ++i)
            text += QStringLiteral("<CALL:%1>%2 <BAND:%3>%4 <MODE:2>CW <QSO_DATE:8>20240309 "
                                   "<TIME_ON:4>%5 <RST_SENT:3>599 <STX_STRING:3>%6 "
                                   "<RST_RCVD:3>599 <SRX_STRING:%7>%8 <EOR>\n")
                        .arg(strlen(qsos[i][0]))
                        .arg(qsos[i][0])
                        .arg(strlen(qsos[i][1]))
                        .arg(qsos[i][1], qsos[i][2], qsos[i][3])
                        .arg(strlen(received[i]))
                        .arg(received[i])
                        .toUtf8();
        f.write(text);
    }
    const QString log = dir_.filePath("dl.sqlite");
    const Result imported = Run({"--import", adi, "--call", "DL1ABC", log});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const Result r = Run({"--check", "--cabrillo", "CATEGORY-OPERATOR=SINGLE-OP", "--cabrillo",
                          "CATEGORY-TRANSMITTER=ONE", log});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    const QStringList power = lines.filter("CATEGORY-POWER is not given");
    const QStringList band = lines.filter("not a band of the contest");
    const QStringList serial = lines.filter("serial number 2 sent again; QSO 2 sent it first");
    ASSERT_EQ(power.size(), 1) << r.out.toStdString();
    ASSERT_EQ(band.size(), 1) << r.out.toStdString();
    ASSERT_EQ(serial.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(power[0].startsWith("Log: "));
    EXPECT_TRUE(band[0].startsWith("QSO 4, 2024-03-09 12:03 YO3APJ 10 CW: on 30m"));
    EXPECT_TRUE(serial[0].startsWith("QSO 3, 2024-03-09 12:02 F5VHY 7 CW: "));
    EXPECT_TRUE(lines.last().startsWith("Checked 5 QSOs: 3 faults, ")) << r.out.toStdString();

    // A serial number mistyped far ahead: one gap, said at once.
    QFile more(dir_.filePath("more.adi"));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly));
    more.write("<EOH><CALL:5>W1AW <BAND:3>40m <MODE:2>CW <QSO_DATE:8>20240309 <TIME_ON:4>1205 "
               "<RST_SENT:3>599 <STX_STRING:9>999999999 <RST_RCVD:3>599 <SRX_STRING:2>12 <EOR>\n");
    more.close();
    ASSERT_EQ(Run({"--import", more.fileName(), log}).exitCode, 0);
    const Result gap = Run({"--check", log});
    EXPECT_EQ(gap.out.split('\n').filter("QSO 6, ").filter("serial numbers 5 to 999999998 were "
                                                           "never sent before 999999999").size(),
              1)
        << gap.out.toStdString();
}

TEST_F(QarvelCommand, ReadingRunsWriteNothingButTheFilesAskedFor) {
    // A log of an older qarvel: no schema version, no station of its own.
    const QString log = FixtureLog();
    WriteSettingsStation(dir_.path(), "YO3ZZZ", "YO");
    const QStringList before = FilesBelow(dir_.path());
    const QString out = dir_.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    for (const QStringList& args :
         {QStringList{"--score", log}, QStringList{"--check", log},
          QStringList{"--export-adif", out + "/log.adi", log},
          QStringList{"--export-cabrillo", out + "/log.cbr", "--call", "YO3ZZZ", log}}) {
        const Result r = Run(args);
        EXPECT_TRUE(r.exitCode == 0 || (args[0] == "--check" && r.exitCode == 4))
            << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    QStringList after = FilesBelow(dir_.path());
    after.removeIf([&](const QString& f) { return f.startsWith(out + "/"); });
    EXPECT_EQ(after, before);
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList({"log.adi", "log.cbr"}));

    // A run that writes into the old log gives it the settings' station,
    // once and said; later settings no longer move it.
    const Result imported = Run({"--import", out + "/log.adi", log});
    EXPECT_TRUE(imported.err.contains("it now keeps YO3ZZZ (YO, EU), from the settings"))
        << imported.err.toStdString();
    WriteSettingsStation(dir_.path(), "DL1ABC", "DL");
    const Result cabrillo = Run({"--export-cabrillo", out + "/again.cbr", log});
    ASSERT_EQ(cabrillo.exitCode, 0) << cabrillo.err.toStdString();
    QFile again(out + "/again.cbr");
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_TRUE(again.readAll().contains("\r\nCALLSIGN: YO3ZZZ\r\n"));
}

TEST_F(QarvelCommand, CabrilloOfAContestScoresAsItsAdifDoes) {
    // The same contest from another logger, once as Cabrillo, once as ADIF.
    const QString cabrillo = QStringLiteral(QARVEL_FIXTURES "/zelmar-2024.cbr");
    const QString exported = dir_.filePath("again.cbr");
    const Result fromCabrillo = Run({"--import", cabrillo, "--score", "--export-cabrillo",
                                     exported, dir_.filePath("cabrillo.sqlite")});
    ASSERT_EQ(fromCabrillo.exitCode, 0) << fromCabrillo.err.toStdString();
    const Result fromAdif =
        Run({"--import", QStringLiteral(QARVEL_FIXTURES "/zelmar-2024.adi"), "--score", "--call",
             "YO3ZZZ", dir_.filePath("adif.sqlite")});
    ASSERT_EQ(fromAdif.exitCode, 0) << fromAdif.err.toStdString();

    // The grid and the score line, without what the import and export said.
    const auto grid = [](const QString& out) {
        const qsizetype from = out.indexOf("Band ");
        return out.mid(from, out.indexOf('\n', out.indexOf("Score: ")) - from);
    };
    EXPECT_TRUE(fromCabrillo.out.contains("Imported 47 QSOs")) << fromCabrillo.out.toStdString();
    // No call given and none stored: the header's station scores the log.
    EXPECT_TRUE(fromCabrillo.out.contains("Station of the imported log: YO3ZZZ (YO, EU)."))
        << fromCabrillo.out.toStdString();
    const QString score = grid(fromCabrillo.out);
    EXPECT_TRUE(score.contains(QRegularExpression("Score: [1-9][0-9]*\\*\\([0-9]+\\+[0-9]+\\)=[1-9]")))
        << score.toStdString();
    EXPECT_EQ(score.toStdString(), grid(fromAdif.out).toStdString());
    // The log keeps the header's station: a later run scores it alike.
    const Result later = Run({"--score", dir_.filePath("cabrillo.sqlite")});
    ASSERT_EQ(later.exitCode, 0) << later.err.toStdString();
    EXPECT_EQ(grid(later.out).toStdString(), score.toStdString());

    // Header and QSOs went into the log: they come out again.
    QFile f(exported);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    for (const char* line : {"CALLSIGN: YO3ZZZ", "CATEGORY-POWER: LOW", "CATEGORY-OPERATOR: SINGLE-OP",
                             "NAME: Ion Popescu", "ADDRESS: Str. Lunga 1",
                             "QSO:  7081 PH 2024-03-09 1204 YO3ZZZ        59  BU     UR5ZZ         59  020"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();

    // A broken line is named by its number; the rest comes in, and the
    // import says so in its status.
    QFile original(cabrillo);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArrayList lines = original.readAll().split('\n');
    lines.insert(30, "QSO: 10120 CW 2024-03-09 1300 YO3ZZZ 599 BU F5ABC 599 123\r");
    lines.insert(31, "QSO:  3510 CW 2024-03-09 1301 YO3ZZZ 599 BU\r");
    lines.insert(32, "QSO:  5357 CW 2024-03-09 1302 YO3ZZZ 599 BU G4ABC 599 124\r");
    const QString broken = dir_.filePath("broken.cbr");
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines.join('\n'));
    out.close();
    const Result partly = Run({"--import", broken, "--call", "YO3ZZZ", dir_.filePath("partly.sqlite")});
    EXPECT_EQ(partly.exitCode, 3) << partly.err.toStdString();
    EXPECT_TRUE(partly.out.contains("Imported 48 QSOs")) << partly.out.toStdString(); // 30 m too
    EXPECT_TRUE(partly.out.contains("skipped 2 malformed lines")) << partly.out.toStdString();
    EXPECT_TRUE(partly.err.contains("broken.cbr: line 32: no call received")) << partly.err.toStdString();
    EXPECT_TRUE(partly.err.contains("broken.cbr: line 33: frequency 5357 kHz is outside"))
        << partly.err.toStdString();
}

} // namespace
