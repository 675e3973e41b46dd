#include "tables/ReferenceTables.h"

#include "RecordBuilder.h"
#include "TempFolder.h"
#include "tables/TextLines.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

using Lines = std::vector<std::string>;

struct LookupCase {
    const char* name;
    Lines table;
    const char* county;
    const char* value;
};

class CountyLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(CountyLookup, FirstLineWhoseNameMatchesIgnoringCase) {
    const LookupCase& c = GetParam();
    TReferenceTables tables;
    tables.SetDomTable(c.table);
    EXPECT_EQ(tables.CountyLookup(c.county), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CountyLookup,
    ::testing::Values(LookupCase{"Listed", {"AG=AG", "AB=AB"}, "AB", "AB"},
                      LookupCase{"NameInLowerCase", {"ab=AB"}, "AB", "AB"},
                      LookupCase{"AskedInLowerCase", {"AB=AB"}, "ab", "AB"},
                      LookupCase{"ValueAsWritten", {"AB=Alba"}, "AB", "Alba"},
                      LookupCase{"BlankBeforeEquals", {"AB =AB"}, "AB", ""},
                      LookupCase{"NameIsNotTrimmed", {" AB=AB"}, "AB", ""},
                      LookupCase{"ValueIsNotTrimmed", {"AB= AB "}, "AB", " AB "},
                      LookupCase{"FirstLineWins", {"AB=Alba", "AB=AB"}, "AB", "Alba"},
                      LookupCase{"FirstLineWinsIgnoringCase", {"ab=one", "AB=two"}, "AB", "one"},
                      LookupCase{"FirstEqualsSplits", {"AB=AB=AB"}, "AB", "AB=AB"},
                      LookupCase{"LineWithoutEqualsIsNoName", {"AB", "AB=x"}, "AB", "x"},
                      LookupCase{"EmptyValue", {"AB="}, "AB", ""},
                      LookupCase{"EmptyNameLine", {"=AB"}, "", "AB"},
                      LookupCase{"NotListed", {"AB=AB"}, "BU", ""},
                      LookupCase{"OnlyAsciiLettersFold",
                                 {"\xC4"
                                  "B=AB"},
                                 "\xE4"
                                 "B",
                                 ""},
                      LookupCase{"EmptyTable", {}, "AB", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CountyLookup, ReplacingTheTableForgetsTheOldNames) {
    TReferenceTables tables;
    tables.SetDomTable({"AB=AB"});
    tables.SetDomTable({"BU=BU"});
    EXPECT_EQ(tables.CountyLookup("AB"), "");
    EXPECT_EQ(tables.CountyLookup("BU"), "BU");
    tables.Clear();
    EXPECT_EQ(tables.CountyLookup("BU"), "");
}

struct GrabCase {
    const char* name;
    Lines table;
    const char* call;
    const char* prefix;
    const char* exchange;
};

class GrabExchange : public ::testing::TestWithParam<GrabCase> {};

TEST_P(GrabExchange, ForAHomeStationFromTheCallTable) {
    const GrabCase& c = GetParam();
    TReferenceTables tables;
    tables.SetCallTable(c.table);
    EXPECT_EQ(tables.GrabExchange(RecordBuilder().Call(c.call).Prefix(c.prefix)), c.exchange);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GrabExchange,
    ::testing::Values(
        GrabCase{"Listed", {"YO5ZAA=AB", "YO3ZAI=BU"}, "YO3ZAI", "YO", "BU"},
        GrabCase{"LineTrimmed", {"  YO9ZBF=PH  "}, "YO9ZBF", "YO", "PH"},
        GrabCase{"OnlyTheLineIsTrimmed", {"\tYO9ZBF=  PH \r"}, "YO9ZBF", "YO", "  PH"},
        GrabCase{"BlanksAroundEquals", {"YO9ZBF = PH"}, "YO9ZBF", "YO", ""},
        GrabCase{"BlankBeforeEquals", {"YO9ZBF =PH"}, "YO9ZBF", "YO", ""},
        GrabCase{"ShorterCallOfALongerOne", {"YO9ZBFA=PH"}, "YO9ZBF", "YO", ""},
        GrabCase{"EndOfALongerCall", {"YO9ZBF=PH"}, "9ZBF", "YO", ""},
        GrabCase{"CallIsCaseSensitive", {"yo9zbf=PH"}, "YO9ZBF", "YO", ""},
        GrabCase{"HomePrefixTrimmedAndUpperCased", {"YO9ZBF=PH"}, "YO9ZBF", " yo ", "PH"},
        GrabCase{"ForeignStation", {"YO9ZBF=PH"}, "YO9ZBF", "DL", ""},
        GrabCase{"EmptyPrefix", {"YO9ZBF=PH"}, "YO9ZBF", "", ""},
        GrabCase{"LastMatchWins", {"YO9ZBF=PH", "YO9ZBF=BU"}, "YO9ZBF", "YO", "BU"},
        GrabCase{"LastMatchWinsEvenWhenEmpty", {"YO9ZBF=PH", "YO9ZBF="}, "YO9ZBF", "YO", ""},
        GrabCase{"LineWithoutEqualsDoesNotReset", {"YO9ZBF=PH", "YO9ZBF"}, "YO9ZBF", "YO", "PH"},
        GrabCase{"FirstEqualsSplits", {"YO9ZBF=PH=1"}, "YO9ZBF", "YO", "PH=1"},
        GrabCase{"EmptyCallMatchesNothing", {"=PH"}, "", "YO", ""},
        GrabCase{"NotListed", {"YO9ZBF=PH"}, "YO3ZAI", "YO", ""},
        GrabCase{"EmptyTable", {}, "YO9ZBF", "YO", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadTables, ReadsBothFilesFromThePluginsFolder) {
    TempFolder host;
    host.Write("Plugins/romanian.dom", "AB=AB\r\nBU=BU\r\n");
    host.Write("Plugins/zelmar.txt", "YO3ZAI=BU\nYO5ZAA=AB");
    for (const std::string& folder : {host.Path(), host.Path() + "/"}) {
        TReferenceTables tables;
        tables.Load(folder);
        EXPECT_EQ(tables.DomTable(), (Lines{"AB=AB", "BU=BU"}));
        EXPECT_EQ(tables.CallTable(), (Lines{"YO3ZAI=BU", "YO5ZAA=AB"}));
        EXPECT_EQ(tables.CountyLookup("bu"), "BU");
    }
}

TEST(LoadTables, MissingFilesLeaveTheTablesEmpty) {
    TempFolder host;
    host.Write("Plugins/zelmar.txt", "YO3ZAI=BU\n");
    TReferenceTables tables;
    tables.Load(host.Path());
    EXPECT_TRUE(tables.DomTable().empty());
    EXPECT_EQ(tables.CountyLookup("AB"), "");
    EXPECT_EQ(tables.CallTable(), Lines{"YO3ZAI=BU"});

    TReferenceTables none;
    none.Load(host.File("no-such-host"));
    EXPECT_TRUE(none.DomTable().empty());
    EXPECT_TRUE(none.CallTable().empty());
}

TEST(LoadTables, UnreadableFileRaisesCannotOpenFileWithItsPath) {
    for (const char* unreadable : {"Plugins/romanian.dom", "Plugins/zelmar.txt"}) {
        TempFolder host;
        host.Write("Plugins/romanian.dom", "AB=AB\n");
        host.Write("Plugins/zelmar.txt", "YO3ZAI=BU\n");
        std::filesystem::remove(host.File(unreadable));
        // A link to itself: there, but it cannot even be looked at.
        std::filesystem::create_symlink(std::filesystem::path(unreadable).filename(),
                                        host.File(unreadable));
        TReferenceTables tables;
        try {
            tables.Load(host.Path());
            ADD_FAILURE() << "no error for " << unreadable;
        } catch (const TFileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + host.File(unreadable));
        }
    }
}

TEST(LoadTables, FolderInPlaceOfATableIsAMissingTable) {
    TempFolder host;
    host.MakeFolder("Plugins/romanian.dom");
    host.Write("Plugins/zelmar.txt", "YO3ZAI=BU\n");
    TReferenceTables tables;
    tables.Load(host.Path());
    EXPECT_TRUE(tables.DomTable().empty());
    EXPECT_EQ(tables.CallTable(), Lines{"YO3ZAI=BU"});

    TempFolder other;
    other.Write("Plugins/romanian.dom", "AB=AB\n");
    other.MakeFolder("Plugins/zelmar.txt");
    tables.Load(other.Path());
    EXPECT_EQ(tables.DomTable(), Lines{"AB=AB"});
}

// The sample tables that travel with the module.
TEST(SampleTables, CountyTableListsTheFortyTwoCodesAsThemselves) {
    const std::string source = ZELMAR_TEST_SOURCE_DIR;
    TReferenceTables tables;
    Lines dom, calls;
    ASSERT_TRUE(LoadTextLines(source + "/data/romanian.dom", dom));
    ASSERT_TRUE(LoadTextLines(source + "/data/zelmar.txt", calls));
    tables.SetDomTable(dom);
    tables.SetCallTable(calls);
    ASSERT_EQ(dom.size(), 42u);
    for (const std::string& line : dom) {
        ASSERT_EQ(line.size(), 5u) << line;
        EXPECT_EQ(tables.CountyLookup(line.substr(0, 2)), line.substr(0, 2)) << line;
    }
    // Every listed home station sends a code the county table counts.
    ASSERT_FALSE(calls.empty());
    for (const std::string& line : calls) {
        const std::string call = line.substr(0, line.find('='));
        const std::string exchange = tables.GrabExchange(RecordBuilder().Call(call).Prefix("YO"));
        EXPECT_EQ(tables.CountyLookup(exchange), exchange) << line;
        EXPECT_EQ(exchange.size(), 2u) << line;
    }
}

} // namespace
