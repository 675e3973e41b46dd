#include "tables/TextLines.h"

#include "TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

// A folder, or anything else that is no file, is no table: as missing.
TEST(LoadTextLines, FolderOrOtherNonFileIsNoFile) {
    TempFolder folder;
    const std::string dir = folder.MakeFolder("romanian.dom");
    const std::string fifo = folder.File("zelmar.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir, fifo, std::string("/dev/null")}) {
        Lines lines{"kept"};
        EXPECT_FALSE(LoadTextLines(path, lines)) << path;
        EXPECT_EQ(lines, Lines{"kept"}) << path;
    }
}

// A file that opens but whose reading fails (chmod would not stop a test
// that runs as root; this file of the kernel's fails at its first byte).
TEST(LoadTextLines, FileWhoseReadingFailsRaisesCannotOpenFile) {
    TempFolder folder;
    const std::string path = folder.File("romanian.dom");
    std::filesystem::create_symlink("/proc/self/mem", path);
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
