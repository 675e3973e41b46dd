#include "plugin/TextRules.h"
#include "scoring/WorkedKeys.h"
#include "tables/ReferenceTables.h"

#include <clocale>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

using namespace zelmar;

namespace {

using namespace std::string_literals;

// Bytes above 127 are where a signed char or a locale-aware routine would
// go wrong: 0xA0 is no blank and 0xE4 is no letter to fold.
TEST(TextRules, UpperCaseChangesOnlyAToZ) {
    EXPECT_EQ(UpperCase("az AZ 09 `{@[ \xE4\xFF\xA0"), "AZ AZ 09 `{@[ \xE4\xFF\xA0");
    EXPECT_EQ(UpperCase("a\0b"s), "A\0B"s);
    EXPECT_EQ(UpperCase(""), "");
}

TEST(TextRules, TrimRemovesCodesZeroToThirtyTwoOnly) {
    EXPECT_EQ(Trim("\0\t\r\n \x1F"
                   "ab c \x01\x20"s),
              "ab c");
    EXPECT_EQ(Trim("\xA0"
                   "ab\x7F"),
              "\xA0"
              "ab\x7F");
    EXPECT_EQ(Trim("!ab!"), "!ab!");
    EXPECT_EQ(Trim(" \t\r\n "), "");
    EXPECT_EQ(Trim(""), "");
}

// The C library's character locale, set to the first of `names` the machine
// has while it lives.
class CharacterLocale {
public:
    explicit CharacterLocale(std::initializer_list<const char*> names)
        : saved_(std::setlocale(LC_CTYPE, nullptr)) {
        for (const char* name : names)
            if (std::setlocale(LC_CTYPE, name)) {
                name_ = name;
                break;
            }
    }
    ~CharacterLocale() { std::setlocale(LC_CTYPE, saved_.c_str()); }
    CharacterLocale(const CharacterLocale&) = delete;
    CharacterLocale& operator=(const CharacterLocale&) = delete;
    const char* Name() const { return name_; }

private:
    std::string saved_;
    const char* name_ = nullptr;
};

// In the "C" locale no byte above 127 is a character: only ASCII folds.
TEST(TextRules, SameTextFoldsOnlyAsciiLettersInTheCLocale) {
    const CharacterLocale c({"C"});
    EXPECT_TRUE(SameText("14|dl|", "14|DL|"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("14|DL |", "14|DL|"));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_FALSE(SameText("@", "`")); // 0x40 and 0x60 differ by the case bit
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_EQ(FoldedKey("14|dl|"), FoldedKey("14|DL|"));
    EXPECT_NE(FoldedKey("@"), FoldedKey("`"));
}

// Under a UTF-8 locale its letters fold too, wherever texts are compared
// ignoring case: the worked keys and the county lookup. Bytes that are no
// character of the locale still compare exactly.
TEST(TextRules, SameTextFoldsTheLettersOfTheUsersLocale) {
    const CharacterLocale utf8({"C.UTF-8", "C.utf8", "en_US.UTF-8", "ro_RO.UTF-8"});
    if (!utf8.Name())
        GTEST_SKIP() << "no UTF-8 locale on this machine";
    const std::string sComma = "\xC8\x99", SComma = "\xC8\x98"; // s and S with comma below
    const std::string aBreve = "\xC4\x83", ABreve = "\xC4\x82", aCircumflex = "\xC3\xA2";
    EXPECT_TRUE(SameText("14|" + sComma + "|", "14|" + SComma + "|"));
    EXPECT_TRUE(SameText(aBreve + "b" + sComma, ABreve + "B" + SComma));
    EXPECT_FALSE(SameText(aBreve, aCircumflex));
    EXPECT_FALSE(SameText(aBreve, ABreve + " "));
    EXPECT_EQ(FoldedKey("14|" + sComma + "|"), FoldedKey("14|" + SComma + "|"));
    EXPECT_NE(FoldedKey(aBreve), FoldedKey(aCircumflex));
    // Latin-1 bytes are no UTF-8: exact, with the ASCII letters around them
    // folded as always.
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_TRUE(SameText("\xE4x", "\xE4X"));
    EXPECT_FALSE(SameText("\xC8", sComma));
    EXPECT_FALSE(SameText("\xC8" "a", SComma));

    TWorkedKeys worked;
    worked.Add("14|" + sComma + "|");
    EXPECT_TRUE(worked.Contains("14|" + SComma + "|"));
    EXPECT_FALSE(worked.Contains("21|" + SComma + "|"));
    TReferenceTables tables;
    tables.SetDomTable({ABreve + "B=AB", SComma + "=SB"});
    EXPECT_EQ(tables.CountyLookup(aBreve + "b"), "AB");
    EXPECT_EQ(tables.CountyLookup(sComma), "SB");
    EXPECT_EQ(tables.CountyLookup(aCircumflex + "b"), "");
}

TEST(TextRules, HomePrefixIsAWholeEntryOfTheList) {
    EXPECT_TRUE(IsHomePrefix("YO"));
    for (const char* p : {"", "Y", "O", "YO:", ":YO", "yo", "YO ", "YOX", ":"})
        EXPECT_FALSE(IsHomePrefix(p)) << '"' << p << '"';
}

TEST(TextRules, CountyCodeIsTheLastTwoCapitals) {
    struct Case {
        std::string text;
        bool matches;
        const char* code;
    };
    const Case cases[] = {{"59 AB", true, "AB"},
                          {"ABC", true, "BC"},
                          {"AB", true, "AB"},
                          {"A", false, ""},
                          {"", false, ""},
                          {"59 ab", false, ""},
                          {"59 A1", false, ""},
                          {"59 A ", false, ""},
                          {"\xC4"
                           "B",
                           false, ""},
                          {"Z[", false, ""},
                          {"@Z", false, ""},
                          {"\0AB"s, true, "AB"}};
    for (const Case& c : cases) {
        std::string code = "unchanged";
        EXPECT_EQ(MatchCountyCode(c.text, code), c.matches) << '"' << c.text << '"';
        EXPECT_EQ(code, c.matches ? c.code : "unchanged") << '"' << c.text << '"';
    }
}

} // namespace
