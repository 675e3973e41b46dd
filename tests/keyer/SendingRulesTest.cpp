// What one message or one Enter sends: the macros, the keyed serial and the
// steps of Enter Sends Message, as one table.
#include "keyer/EnterSendsMessage.h"
#include "keyer/MessageMacros.h"

#include <gtest/gtest.h>

using namespace qarvel;

namespace {

using Cut = SerialStyle::Cut;
using Set = EnterSendsMessage::Set;

struct MacroCase {
    const char* text;
    const char* mode;
    const char* sent;
    bool zeros;
    Cut cut;
    const char* keyed;
    bool logIt;
};

TEST(SendingRulesTest, MacrosAndSerialsExpandAsKeyed) {
    const MacroCase cases[] = {
        {"CQ {MYCALL} TEST", "CW", "599 001", true, Cut::None, "CQ DL1ABC TEST", false},
        {"{HISCALL} {EXCH}", "CW", "599 001", true, Cut::None, "YO3ZZZ 5NN 001", false},
        {"{EXCH}", "CW", "599 001", false, Cut::None, "5NN 1", false},
        {"{EXCH}", "CW", "599 109", true, Cut::ZeroNine, "5NN 1TN", false},
        {"{EXCH}", "CW", "599 1190", false, Cut::ZeroNineOne, "5NN AANT", false},
        {"{RST} {NR}", "CW", "599 090", true, Cut::ZeroNine, "5NN TNT", false},
        // On phone the number is said, never cut.
        {"{EXCH}", "SSB", "59 007", true, Cut::ZeroNine, "59 7", false},
        // A YO station's county goes as it stands; {NR} is empty without a serial.
        {"{EXCH}", "CW", "599 BU", true, Cut::ZeroNine, "5NN BU", false},
        {"NR {NR}", "CW", "599 BU", true, Cut::None, "NR", false},
        {"TU {MYCALL}{LOGIT}", "CW", "599 001", true, Cut::None, "TU DL1ABC", true},
        // An unknown macro stays, so the operator sees it go out and mends it.
        {"{hiscall} {FOO}", "CW", "599 001", true, Cut::None, "YO3ZZZ {FOO}", false},
        {"", "CW", "599 001", true, Cut::None, "", false},
    };
    for (const MacroCase& c : cases) {
        const MacroContext context{QStringLiteral("DL1ABC"), QStringLiteral("YO3ZZZ"),
                                   QLatin1String(c.mode), QLatin1String(c.sent),
                                   SerialStyle{c.zeros, c.cut}};
        const ExpandedMessage e = ExpandMacros(QLatin1String(c.text), context);
        SCOPED_TRACE(std::string(c.text) + " / " + c.sent);
        EXPECT_EQ(e.text, QLatin1String(c.keyed));
        EXPECT_EQ(e.logIt, c.logIt);
    }
}

struct EsmCase {
    Set set;
    const char* call;
    const char* received;
    std::vector<int> keys;
    bool toReceived;
    bool logIt;
};

TEST(SendingRulesTest, EnterSendsMessageWalksRunAndSearchPounceQsos) {
    // One operator's Enters in order: each row's state follows the last.
    const EsmCase steps[] = {
        {Set::Run, "", "", {1}, false, false},          // CQ
        {Set::Run, "", "", {1}, false, false},          // CQ again
        {Set::Run, "YO3ZZZ", "", {5, 2}, true, false},  // his call and the exchange
        {Set::Run, "YO3ZZZ", "", {8}, true, false},     // nothing back: AGN
        {Set::Run, "YO3ZZZ", "599 BU", {3}, false, true}, // TU, logged
        {Set::Run, "YO3ZZZ", "599 BU", {3}, false, true}, // refused by the check: the same again
        {Set::Run, "DL2XX", "599 12", {5, 2}, true, false}, // a new call starts over
        {Set::SearchPounce, "", "", {}, false, false},  // nothing to answer
        {Set::SearchPounce, "OH2BH", "", {4}, true, false},  // my call
        {Set::SearchPounce, "OH2BH", "", {4}, true, false},  // my call again
        {Set::SearchPounce, "OH2BH", "599 7", {2}, false, true}, // my exchange, logged
        {Set::SearchPounce, "OH2XX", "599 7", {4}, true, false}, // another call: my call first
    };
    EnterSendsMessage esm;
    int row = 0;
    for (const EsmCase& s : steps) {
        SCOPED_TRACE(row++);
        const auto step = esm.Next(s.set, QLatin1String(s.call), QLatin1String(s.received));
        EXPECT_EQ(step.keys, s.keys);
        EXPECT_EQ(step.toReceived, s.toReceived);
        EXPECT_EQ(step.logIt, s.logIt);
    }
    // Logged: the same call again is a new QSO.
    esm.Reset();
    EXPECT_EQ(esm.Next(Set::Run, QStringLiteral("YO3ZZZ"), QStringLiteral("599 BU")).keys,
              (std::vector<int>{5, 2}));
}

} // namespace
