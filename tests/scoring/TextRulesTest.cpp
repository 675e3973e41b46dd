#include "plugin/TextRules.h"

#include <gtest/gtest.h>
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

TEST(TextRules, SameTextFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(SameText("14|dl|", "14|DL|"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("14|DL |", "14|DL|"));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_FALSE(SameText("@", "`")); // 0x40 and 0x60 differ by the case bit
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_EQ(FoldedKey("14|dl|"), FoldedKey("14|DL|"));
    EXPECT_NE(FoldedKey("@"), FoldedKey("`"));
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
