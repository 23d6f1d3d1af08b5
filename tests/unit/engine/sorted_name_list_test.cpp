// Tests of the name ordering and of the sorted list's tie-break.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "engine/sorted_name_list.h"

namespace favpage {
namespace {

std::vector<std::string> Sorted(const std::vector<std::string>& added) {
    TSListImp<std::string> list;
    for (const auto& s : added) EXPECT_EQ(list.Add(s), 1);
    EXPECT_EQ(list.Count(), added.size());
    return std::vector<std::string>(list.begin(), list.end());
}

// Every order of addition gives the same list when no two names compare equal.
void ExpectOrderFromAnyAddition(std::vector<std::string> expected) {
    std::vector<std::string> added = expected;
    std::sort(added.begin(), added.end());
    do {
        EXPECT_EQ(Sorted(added), expected);
    } while (std::next_permutation(added.begin(), added.end()));
}

TEST(SortedNameListTest, OrderOfTheComparison) {
    ExpectOrderFromAnyAddition({"aab", "azz", "a_b"});              // '_' after every letter
    ExpectOrderFromAnyAddition({"A B.url", "A-B.url", "A.url", "AB.url"});
    ExpectOrderFromAnyAddition({"10.url", "9.url"});                // digits as characters
    ExpectOrderFromAnyAddition({"ab", "abc"});                       // a prefix first
    ExpectOrderFromAnyAddition({"ab\xE9", "ab"});                   // ... unless a high byte follows
    ExpectOrderFromAnyAddition({"\xC4pfel", " space", "1st", "Zebra", "[x]", "{y}", "~z"});
    ExpectOrderFromAnyAddition({"\x80", "\xFF", "\x01"});            // 0x80 is -128, 0xFF is -1
}

TEST(SortedNameListTest, ComparisonIsSignedAndFoldsOnlyAsciiLetters) {
    EXPECT_EQ(CompareNames("Foo", "FOO"), 0);
    EXPECT_EQ(CompareNames("foo", "FOO"), 0);
    EXPECT_LT(CompareNames("\xE9", "A"), 0);
    EXPECT_LT(CompareNames("\xE9", ""), 0);
    EXPECT_GT(CompareNames("", "\xE9"), 0);
    EXPECT_NE(CompareNames("\xE9", "\xC9"), 0);  // no folding outside a-z
    EXPECT_LT(CompareNames("a", "Z"), 0);
    EXPECT_LT(CompareNames("Z", "["), 0);
    EXPECT_LT(CompareNames("z", "["), 0);         // 'z' folds to 'Z' (0x5A) < '[' (0x5B)
    EXPECT_LT(CompareNames("`", "{"), 0);
}

TEST(SortedNameListTest, SortKeysOrderLikeTheComparison) {
    // Random names over a small alphabet with case pairs, high bytes and prefixes.
    const char alphabet[] = {'a', 'A', 'z', 'Z', '_', '[', ' ', '.', '9', '\x80', '\xE9', '\xFF'};
    unsigned seed = 7;
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i) {
        std::string s;
        seed = seed * 1103515245u + 12345u;
        for (unsigned len = (seed >> 16) % 5; len > 0; --len) {
            seed = seed * 1103515245u + 12345u;
            s += alphabet[(seed >> 16) % sizeof alphabet];
        }
        names.push_back(s);
    }
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& a : names) {
        for (const auto& b : names) {
            ASSERT_EQ(sign(SortKey(a).compare(SortKey(b))), sign(CompareNames(a, b)))
                << "'" << a << "' '" << b << "'";
        }
    }
}

TEST(SortedNameListTest, EqualNamesComeOutNewestFirst) {
    EXPECT_EQ(Sorted({"b.url", "A.url", "a.url"}),
              (std::vector<std::string>{"a.url", "A.url", "b.url"}));
    EXPECT_EQ(Sorted({"abc", "ABC"}), (std::vector<std::string>{"ABC", "abc"}));
    EXPECT_EQ(Sorted({"x", "X", "y", "x"}), (std::vector<std::string>{"x", "X", "x", "y"}));
    EXPECT_EQ(Sorted({"same", "same"}), (std::vector<std::string>{"same", "same"}));
    // Many equal names among others: the reverse of their addition order, every time.
    std::vector<std::string> added;
    for (int i = 0; i < 50; ++i) {
        added.push_back(i % 2 ? "m" : "M");
        added.push_back(std::string(1, static_cast<char>('a' + i % 26)));
    }
    std::vector<std::string> equal;
    for (const auto& s : Sorted(added)) {
        if (s == "m" || s == "M") equal.push_back(s);
    }
    ASSERT_EQ(equal.size(), 52u);  // the 50 plus the two 'm' letters of the alphabet run
    std::vector<std::string> expected;
    for (auto it = added.rbegin(); it != added.rend(); ++it) {
        if (*it == "m" || *it == "M") expected.push_back(*it);
    }
    EXPECT_EQ(equal, expected);
}

TEST(SortedNameListTest, NamesSharingLongPrefixesKeepTheOrderAndTieBreak) {
    // The list compares the first 16 key bytes apart from the rest, so names that agree up to
    // and across that boundary, end right at it, or differ only in case must still come out
    // in the comparison's order, equal names newest first.
    const char alphabet[] = {'a', 'A', 'b', '_', '\x80', '\xE9'};
    unsigned seed = 99;
    std::vector<std::string> added;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        std::string s(12 + (seed >> 16) % 9, 'p');  // 12 to 20 shared bytes
        seed = seed * 1103515245u + 12345u;
        for (unsigned len = (seed >> 16) % 4; len > 0; --len) {
            seed = seed * 1103515245u + 12345u;
            s += alphabet[(seed >> 16) % sizeof alphabet];
        }
        if (seed & 0x100) s[3] = 'P';
        added.push_back(s);
    }
    // Reference: a stable sort of the names in reverse order of addition.
    std::vector<std::string> expected(added.rbegin(), added.rend());
    std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return CompareNames(a, b) < 0;
    });
    EXPECT_EQ(Sorted(added), expected);
}

TEST(SortedNameListTest, NamesEndingAtAndAroundThePackedHeadsKeepTheOrder) {
    // The first 8 and the next 8 key bytes are compared as numbers: names that end or differ
    // right at, before or after those boundaries, with and without bytes 0x80-0xFF.
    EXPECT_EQ(Sorted({"12345678", "12345678\xE9"}),
              (std::vector<std::string>{"12345678\xE9", "12345678"}));
    const std::string digits = "1234567890abcdefghij";
    std::vector<std::string> added;
    for (size_t length : {7, 8, 9, 15, 16, 17}) {
        const std::string base = digits.substr(0, length);
        for (const std::string tail : {"", "\xE9", "0", "A", "a", "\x80\x80"}) {
            added.push_back(base + tail);
            added.push_back(base.substr(0, length - 1) + "\xE9" + tail);
        }
    }
    std::vector<std::string> expected(added.rbegin(), added.rend());
    std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return CompareNames(a, b) < 0;
    });
    EXPECT_EQ(Sorted(added), expected);
}

TEST(SortedNameListTest, TieBreaksDecideBetweenEqualNamesWhateverTheOrderOfAddition) {
    // Names outside the code page are ordered by their page text, then by their own bytes: a
    // name without a tie-break first, then the tie-breaks in byte order, newest first only for
    // equal pairs. Lengths straddle the 16 bytes compared apart from the rest.
    struct Item {
        std::string name, tieBreak;
    };
    const char alphabet[] = {'a', 'A', '&', '\xE9'};
    unsigned seed = 7;
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::vector<Item> added;
    for (int i = 0; i < 3000; ++i) {
        Item item{std::string(13 + next() % 4, 'p'), ""};
        for (unsigned n = next() % 3; n > 0; --n) item.name += alphabet[next() % 4];
        for (unsigned n = next() % 3; n > 0; --n) item.tieBreak += alphabet[next() % 4];
        added.push_back(item);
    }
    NameOrder order;
    for (size_t i = 0; i < added.size(); ++i) {
        order.Add(added[i].name, static_cast<uint32_t>(i), added[i].tieBreak);
    }
    order.Order();
    std::vector<uint32_t> expected(added.size());
    for (size_t i = 0; i < added.size(); ++i) expected[i] = static_cast<uint32_t>(added.size() - 1 - i);
    std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
        const int c = CompareNames(added[a].name, added[b].name);
        return c != 0 ? c < 0 : added[a].tieBreak < added[b].tieBreak;
    });
    std::vector<uint32_t> got;
    for (uint32_t i = 0; i < order.Count(); ++i) got.push_back(order.ValueAt(i));
    EXPECT_EQ(got, expected);
}

TEST(SortedNameListTest, EmptyListAndOwnCopies) {
    TSListImp<std::string> list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.begin(), list.end());
    std::string name = "first";
    list.Add(name);
    name = "changed";
    EXPECT_FALSE(list.IsEmpty());
    EXPECT_EQ(*list.begin(), "first");
    // Adding after a traversal puts the new names in their places too.
    list.Add("FIRST");
    list.Add("a");
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()),
              (std::vector<std::string>{"a", "FIRST", "first"}));
}

TEST(SortedNameListTest, LargeListKeepsOrderAndTieBreak) {
    // 20,000 names in 500 groups of equal names that differ only in letter case. Within each
    // group the list must give the case variants in the reverse of their addition order.
    TSListImp<std::string> list;
    std::map<std::string, std::vector<std::string>> addedByGroup;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        std::string s = "name" + std::to_string((seed >> 8) % 500);
        for (size_t k = 0; k < 4; ++k) {
            if (seed & (0x10000u << k)) s[k] = static_cast<char>(s[k] - 0x20);
        }
        list.Add(s);
        std::string group = s;
        for (char& c : group) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        addedByGroup[group].push_back(s);
    }
    std::map<std::string, std::vector<std::string>> listedByGroup;
    const std::string* previous = nullptr;
    for (const std::string& s : list) {
        if (previous) {
            ASSERT_LE(CompareNames(*previous, s), 0) << *previous << " " << s;
        }
        previous = &s;
        std::string group = s;
        for (char& c : group) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        listedByGroup[group].push_back(s);
    }
    for (auto& [group, added] : addedByGroup) {
        std::reverse(added.begin(), added.end());
        EXPECT_EQ(listedByGroup[group], added) << group;
    }
}

}  // namespace
}  // namespace favpage
