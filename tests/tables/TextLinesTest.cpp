#include "tables/TextLines.h"

#include "TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zelmar;
using namespace zelmar::testing;

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct SplitCase {
    const char* name;
    std::string text;
    Lines lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, AsTheHostsTextFilesBreak) {
    EXPECT_EQ(SplitTextLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, SplitLines,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"OneLineWithoutBreak", "AB=AB", {"AB=AB"}},
        SplitCase{"FinalBreakAddsNoLine", "AB=AB\n", {"AB=AB"}},
        SplitCase{"Lf", "a\nb", {"a", "b"}}, SplitCase{"Cr", "a\rb", {"a", "b"}},
        SplitCase{"CrLfIsOneBreak", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
        SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
        SplitCase{"BlankLineInTheMiddle", "a\r\n\r\nb", {"a", "", "b"}},
        SplitCase{"TwoFinalBreaks", "a\n\n", {"a", ""}}, SplitCase{"OnlyABreak", "\n", {""}},
        SplitCase{"OnlyCrLf", "\r\n", {""}}, SplitCase{"FinalCr", "a\r", {"a"}},
        SplitCase{"LeadingBreaks", "\n\nb", {"", "", "b"}},
        SplitCase{"LinesAreNotTrimmed", " a \t\n  b=c  ", {" a \t", "  b=c  "}},
        SplitCase{"NulEndsTheText", "a\nb\0c\nd"s, {"a", "b"}},
        SplitCase{"NulFirst", "\0a\nb"s, {}}, SplitCase{"NulRightAfterABreak", "a\r\n\0b"s, {"a"}},
        SplitCase{"EightBitBytesKept", "\xC4\xE4=\xFF\n", {"\xC4\xE4=\xFF"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadTextLines, MissingFileIsNoErrorAndLeavesTheLines) {
    TempFolder folder;
    Lines lines{"kept"};
    EXPECT_FALSE(LoadTextLines(folder.File("none.txt"), lines));
    EXPECT_FALSE(LoadTextLines(folder.File("no/such/folder/none.txt"), lines));
    EXPECT_EQ(lines, Lines{"kept"});
}

TEST(LoadTextLines, ReadsTheWholeFileWithItsBreaks) {
    TempFolder folder;
    const std::string path = folder.Write("t.txt", "AB=AB\r\nAG=AG\n\rAR=AR\0BC=BC"s);
    Lines lines{"old"};
    EXPECT_TRUE(LoadTextLines(path, lines));
    EXPECT_EQ(lines, (Lines{"AB=AB", "AG=AG", "", "AR=AR"}));
}

TEST(LoadTextLines, EmptyFileReplacesTheLinesWithNone) {
    TempFolder folder;
    const std::string path = folder.Write("empty.txt", "");
    Lines lines{"old"};
    EXPECT_TRUE(LoadTextLines(path, lines));
    EXPECT_TRUE(lines.empty());
}

// A folder of that name exists but cannot be read as a file (chmod would
// not stop a test that runs as root).
TEST(LoadTextLines, ExistingButUnreadableRaisesCannotOpenFile) {
    TempFolder folder;
    const std::string path = folder.MakeFolder("romanian.dom");
    Lines lines{"kept"};
    try {
        LoadTextLines(path, lines);
        FAIL() << "no error for " << path;
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
    }
    EXPECT_EQ(lines, Lines{"kept"});
}

// A name that is there but cannot be looked at is no missing file.
TEST(LoadTextLines, NameThatCannotBeLookedAtRaisesCannotOpenFile) {
    TempFolder folder;
    const std::string path = folder.File("zelmar.txt");
    std::filesystem::create_symlink("zelmar.txt", path); // a link to itself
    Lines lines{"kept"};
    try {
        LoadTextLines(path, lines);
        FAIL() << "no error for " << path;
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
    }
    EXPECT_EQ(lines, Lines{"kept"});
}

} // namespace
