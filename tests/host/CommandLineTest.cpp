#include "app/CommandLine.h"

#include "reference/CountryFile.h"

#include <gtest/gtest.h>

using qarvel::CommandLine;

namespace {

CommandLine Parse(QStringList args) {
    args.prepend(QStringLiteral("qarvel"));
    return CommandLine::Parse(args);
}

TEST(CommandLineParse, NoArgumentsOpensTheDefaultLogInAWindow) {
    const CommandLine c = Parse({});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_TRUE(c.log.isEmpty());
    EXPECT_EQ(c.table, "Log");
    EXPECT_FALSE(c.Headless());
}

TEST(CommandLineParse, TheLogComesFromOnePlace) {
    struct Case {
        QStringList args;
        QString log;
    };
    const Case cases[] = {
        {{"--score", "contest.sqlite"}, "contest.sqlite"},
        {{"--log", "a.sqlite", "--score"}, "a.sqlite"},
        {{"--db", "postgresql://op@localhost/contest"}, "postgresql://op@localhost/contest"},
        {{"postgresql://op@localhost:5433/contest?host=/run/pg"},
         "postgresql://op@localhost:5433/contest?host=/run/pg"},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = Parse(c.args);
        EXPECT_TRUE(parsed.error.isEmpty())
            << c.args.join(' ').toStdString() << ": " << parsed.error.toStdString();
        EXPECT_EQ(parsed.log, c.log) << c.args.join(' ').toStdString();
    }
}

TEST(CommandLineParse, HeadlessWork) {
    const CommandLine c = Parse({"--import", "in.adi", "--export-cabrillo", "out.cbr",
                                 "--export-adif", "out.adi", "x.sqlite"});
    EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
    EXPECT_EQ(c.importFile, "in.adi");
    EXPECT_EQ(c.exportCabrillo, "out.cbr");
    EXPECT_EQ(c.exportAdif, "out.adi");
    EXPECT_FALSE(c.score);
    EXPECT_TRUE(c.Headless());
    EXPECT_TRUE(Parse({"--score"}).Headless());
    EXPECT_FALSE(Parse({"--show-multipliers"}).Headless());
    EXPECT_TRUE(Parse({"--follow", "--db", "postgresql://op@localhost/contest"}).Headless());
    // The keyer for one run: cwdaemon's port when left out, none when empty.
    EXPECT_EQ(Parse({"--keyer", "shack:6790"}).keyer, QStringLiteral("shack:6790"));
    EXPECT_EQ(Parse({"--keyer", ""}).keyer, QString());
    EXPECT_FALSE(Parse({}).keyer);
    EXPECT_FALSE(Parse({"--keyer", "shack:6790"}).Headless());
}

TEST(CommandLineParse, WrongCommandLinesAreRefusedWithAReason) {
    struct Case {
        QStringList args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--bogus"}, "bogus"},
        {{"--log", "a.sqlite", "b.sqlite"}, "one log"},
        {{"--log", "a.sqlite", "--db", "postgresql://h/db"}, "one log"},
        {{"--db", "contest.sqlite"}, "postgresql://"},
        {{"--table", "Log; DROP TABLE Log"}, "not a plain name"},
        {{"--table", "1Log"}, "not a plain name"},
        {{"--my-continent", "XX"}, "not a continent"},
        {{"--call", " "}, "call sign"},
        {{"--import", ""}, "needs a file"},
        {{"--log"}, "Missing value"},
        {{"--follow", "contest.sqlite"}, "PostgreSQL log"},
        {{"--follow"}, "PostgreSQL log"},
        {{"--restation", "--score"}, "--restation needs --call"},
        {{"--keyer", "host:notaport"}, "--keyer needs HOST:PORT"},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = Parse(c.args);
        EXPECT_TRUE(parsed.error.contains(QLatin1String(c.reason)))
            << c.args.join(' ').toStdString() << " gave: " << parsed.error.toStdString();
    }
}

TEST(CommandLineParse, StationOverridesOnlyWhatIsGiven) {
    qarvel::CountryFile countries;
    ASSERT_TRUE(countries.Load(qarvel::CountryFile::kDefaultPath));
    qarvel::StationSettings stored;
    stored.call = "YO3ZZZ";
    stored.logName = "LOG1";
    stored.sentExchange = "BU";

    const auto same = Parse({}).Station(stored, &countries);
    EXPECT_EQ(same.call, "YO3ZZZ");
    EXPECT_EQ(same.dxccPrefix, "YO");

    // A call alone brings its own prefix and continent.
    const auto dx = Parse({"--call", "ja1abc", "--caption", "JA"}).Station(stored, &countries);
    EXPECT_EQ(dx.call, "JA1ABC");
    EXPECT_EQ(dx.dxccPrefix, "JA");
    EXPECT_EQ(dx.continent, "AS");
    EXPECT_EQ(dx.logName, "JA");
    EXPECT_EQ(dx.sentExchange, "BU");

    // Given prefix and continent win over the resolved ones.
    const auto given = Parse({"--call", "JA1ABC", "--my-dxcc", "dl", "--my-continent", "eu"})
                           .Station(stored, &countries);
    EXPECT_EQ(given.dxccPrefix, "DL");
    EXPECT_EQ(given.continent, "EU");
}

TEST(CommandLineHelp, DocumentsEveryOption) {
    const QString help = CommandLine::HelpText();
    EXPECT_TRUE(help.startsWith("Usage: qarvel ")) << help.toStdString();
    for (const char* option :
         {"--log", "--db", "--table", "--call", "--my-dxcc", "--my-continent", "--caption",
          "--country-file", "--score", "--import", "--export-adif", "--export-cabrillo",
          "--show-multipliers", "--keyer", "--help", "--version", "LOG"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

} // namespace
