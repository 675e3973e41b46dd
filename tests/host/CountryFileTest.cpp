#include "reference/CountryFile.h"

#include <gtest/gtest.h>
#include <string>

using qarvel::CountryFile;

namespace {

const CountryFile& Installed() {
    static const CountryFile file = [] {
        CountryFile f;
        if (!f.Load(CountryFile::kDefaultPath))
            throw std::runtime_error("cannot read the installed cty.dat");
        return f;
    }();
    return file;
}

struct RealCall {
    const char* call;
    const char* prefix; // primary prefix, as the log keeps DXCCPrefix
    const char* continent;
    const char* matched; // the entry of the file that decided
};

void PrintTo(const RealCall& c, std::ostream* os) {
    *os << c.call;
}

class InstalledCountryFile : public ::testing::TestWithParam<RealCall> {};

TEST_P(InstalledCountryFile, ResolvesTheCall) {
    const RealCall& c = GetParam();
    const auto m = Installed().Resolve(c.call);
    ASSERT_TRUE(m.has_value()) << c.call;
    EXPECT_EQ(m->primaryPrefix, c.prefix) << c.call;
    EXPECT_EQ(m->continent, c.continent) << c.call;
    EXPECT_EQ(m->matchedPrefix, c.matched) << c.call;
}

INSTANTIATE_TEST_SUITE_P(
    RealCalls, InstalledCountryFile,
    ::testing::Values(
        // Longest prefix, all continents.
        RealCall{"YO3ABC", "YO", "EU", "YO"}, RealCall{"yo9zzz", "YO", "EU", "YO"},
        RealCall{"DL1ABC", "DL", "EU", "DL"}, RealCall{"W1AW", "K", "NA", "W"},
        RealCall{"JA1ABC", "JA", "AS", "JA"}, RealCall{"VK2ABC", "VK", "OC", "VK"},
        RealCall{"PY1ABC", "PY", "SA", "PY"}, RealCall{"ZS6ABC", "ZS", "AF", "ZS"},
        // A longer prefix wins over a shorter one of another country.
        RealCall{"UA9ABC", "UA9", "AS", "UA9"}, RealCall{"UA1ABC", "UA", "EU", "U"},
        RealCall{"KH6ABC", "KH6", "OC", "KH6"}, RealCall{"EA8ABC", "EA8", "AF", "EA8"},
        // Exact =CALL entries beat every prefix.
        RealCall{"4U1ITU", "4U1I", "EU", "4U1ITU"}, RealCall{"KG4AC", "KG4", "NA", "KG4AC"},
        RealCall{"3D2CR", "3D2/c", "OC", "3D2CR"},
        // Portable calls: the shorter part is where the station is.
        RealCall{"DL/YO3ABC", "DL", "EU", "DL"}, RealCall{"YO3ABC/DL", "DL", "EU", "DL"},
        RealCall{"KH6/W1AW", "KH6", "OC", "KH6"}, RealCall{"W1AW/KH6", "KH6", "OC", "KH6"},
        // Operating suffixes say nothing about the country.
        RealCall{"YO3ABC/P", "YO", "EU", "YO"}, RealCall{"DL1ABC/M", "DL", "EU", "DL"},
        RealCall{"W1AW/4", "K", "NA", "W"}, RealCall{"DL/YO3ABC/QRP", "DL", "EU", "DL"},
        RealCall{"G4ABC/MM", "G", "EU", "G"},
        // An exact entry with a slash is matched whole.
        RealCall{"W1AW/KG4", "KG4", "NA", "W1AW/KG4"}));

TEST(InstalledCountryFileEdges, BlanksAndLowerCaseAreTolerated) {
    const auto m = Installed().Resolve("  dl/yo3abc ");
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->primaryPrefix, "DL");
}

TEST(InstalledCountryFileEdges, NothingForEmptyOrUnknownCalls) {
    EXPECT_FALSE(Installed().Resolve("").has_value());
    EXPECT_FALSE(Installed().Resolve("/P").has_value());
    EXPECT_FALSE(Installed().Resolve("0").has_value());
}

// The installed file has no {cont} overrides; this small one does, in the
// same format.
constexpr const char* kSmallFile =
    "Romania:                  20:  28:  EU:   45.78:   -24.70:    -2.0:  YO:\n"
    "    YO,YP,=YO0ANT{AN},YR9(33)[50]{AF};\n"
    "Asiatic Turkey:           20:  39:  AS:   39.18:   -35.65:    -2.0:  TA:\n"
    "    TA,TC,TA1{EU}<41.0/-29.0>;\n"
    "Monaco:                   14:  27:  EU:   43.73:    -7.40:    -1.0:  *3A:\n"
    "    3A;\n";

TEST(CountryFileOverrides, ContinentOverridesApplyToTheirEntryOnly) {
    CountryFile f;
    ASSERT_TRUE(f.Parse(kSmallFile));
    EXPECT_EQ(f.EntityCount(), 3u);
    struct Case {
        const char* call;
        const char* prefix;
        const char* continent;
    };
    const Case cases[] = {
        {"YO3ABC", "YO", "EU"}, {"YO0ANT", "YO", "AN"}, // exact entry with {AN}
        {"YO0ANX", "YO", "EU"},                         // not the exact call
        {"YR9A", "YO", "AF"},                           // zones stripped, {AF} kept
        {"TA1ABC", "TA", "EU"}, {"TA2ABC", "TA", "AS"}, // <lat/lon> stripped
        {"3A2ABC", "3A", "EU"},                         // '*' of the prefix dropped
    };
    for (const Case& c : cases) {
        const auto m = f.Resolve(c.call);
        ASSERT_TRUE(m.has_value()) << c.call;
        EXPECT_EQ(m->primaryPrefix, c.prefix) << c.call;
        EXPECT_EQ(m->continent, c.continent) << c.call;
    }
}

TEST(CountryFileOverrides, EmptyTextHoldsNoCountry) {
    CountryFile f;
    EXPECT_FALSE(f.Parse(""));
    EXPECT_FALSE(f.Load("/nonexistent/cty.dat"));
}

} // namespace
