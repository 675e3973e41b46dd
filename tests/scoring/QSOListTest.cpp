#include "scoring/TQSOList.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace zelmar;

namespace {

// Position i, iteration and size must tell the same story, whatever chunks
// the entries happen to be kept in.
std::vector<TQSO> ByPosition(const TQSOList& list) {
    std::vector<TQSO> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(list[i]);
    return out;
}

std::vector<TQSO> ByIteration(const TQSOList& list) {
    return {list.begin(), list.end()};
}

std::vector<std::string> Keys(std::vector<TQSO> qsos) {
    std::vector<std::string> keys;
    for (const TQSO& q : qsos)
        keys.push_back(q.call + "|" + q.band + "|" + q.mode);
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool SameEntries(const std::vector<TQSO>& a, const std::vector<TQSO>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TQSO& x, const TQSO& y) {
        return x.call == y.call && x.band == y.band && x.mode == y.mode;
    });
}

bool CallsSorted(const std::vector<TQSO>& qsos) {
    return std::is_sorted(qsos.begin(), qsos.end(),
                          [](const TQSO& a, const TQSO& b) { return a.call < b.call; });
}

TQSO RandomQso(std::mt19937& rng, int serial) {
    // Three letters of a small alphabet: long runs of one call, and calls
    // that are prefixes of others.
    std::string call;
    const int length = std::uniform_int_distribution<int>(0, 3)(rng);
    for (int i = 0; i < length; ++i)
        call += "AaZ\xC4"[std::uniform_int_distribution<int>(0, 3)(rng)];
    return {call, std::to_string(serial), "CW"};
}

TEST(QSOList, EmptyListHasNoEntries) {
    TQSOList list;
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.begin() == list.end());
    list.SortByCall();
    list.SortInLast();
    EXPECT_EQ(list.size(), 0u);
}

// Appends keep their order across many chunks, as a replay leaves them.
TEST(QSOList, AppendedEntriesStandInAppendOrder) {
    std::mt19937 rng(5);
    TQSOList list;
    std::vector<TQSO> appended;
    for (int i = 0; i < 3000; ++i) {
        appended.push_back(RandomQso(rng, i));
        list.push_back(appended.back());
    }
    EXPECT_EQ(list.size(), appended.size());
    EXPECT_TRUE(SameEntries(ByPosition(list), appended));
    EXPECT_TRUE(SameEntries(ByIteration(list), appended));

    list.SortByCall();
    EXPECT_TRUE(CallsSorted(ByPosition(list)));
    EXPECT_TRUE(SameEntries(ByIteration(list), ByPosition(list)));
    EXPECT_EQ(Keys(ByPosition(list)), Keys(appended));
}

// One new entry after each sort, moved to its place: the list stays sorted
// and loses or duplicates nothing while chunks fill and split.
TEST(QSOList, EachNewEntryIsMovedToItsPlace) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 rng(seed);
        TQSOList list;
        std::vector<TQSO> added;
        for (int i = 0; i < 4000; ++i) {
            added.push_back(RandomQso(rng, i));
            list.push_back(added.back());
            list.SortInLast();
            if (i % 397 == 0 || i == 3999) {
                const std::vector<TQSO> positions = ByPosition(list);
                ASSERT_TRUE(CallsSorted(positions)) << "seed " << seed << ", entry " << i;
                ASSERT_TRUE(SameEntries(ByIteration(list), positions));
                ASSERT_EQ(Keys(positions), Keys(added));
            }
        }
        // Cleared, it starts over.
        list.clear();
        EXPECT_TRUE(list.empty());
        list.push_back({"K1", "14", "CW"});
        list.push_back({"A1", "14", "CW"});
        list.SortInLast();
        EXPECT_EQ(list[0].call, "A1");
        EXPECT_EQ(list[1].call, "K1");
    }
}

} // namespace
