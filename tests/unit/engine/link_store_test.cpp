// Tests of LinkStore: texts of every size come back unchanged with their marks, across block
// boundaries, in blocks of their own, and after the store is cleared and reused.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/link_store.h"

namespace favpage {
namespace {

// A text of `length` bytes that differs from its neighbours.
std::string TextOf(size_t length, unsigned seed) {
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (seed + i * 7) % 26);
    return text;
}

void ExpectRoundTrip(LinkStore& store, const std::vector<size_t>& lengths) {
    std::vector<std::pair<uint32_t, std::string>> kept;
    size_t bytes = 0;
    for (size_t i = 0; i < lengths.size(); ++i) {
        std::string text = TextOf(lengths[i], static_cast<unsigned>(i));
        kept.emplace_back(store.Add(text, i % 3 == 0), std::move(text));
        bytes += lengths[i];
    }
    EXPECT_GE(store.Size(), bytes);
    for (size_t i = 0; i < kept.size(); ++i) {
        store.Prefetch(kept[i].first);
        ASSERT_EQ(store.Text(kept[i].first), kept[i].second) << "text " << i;
        EXPECT_EQ(store.Marked(kept[i].first), i % 3 == 0) << "text " << i;
    }
}

TEST(LinkStoreTest, TextsComeBackUnchangedWithTheirMarks) {
    const size_t block = 256 * 1024;
    const std::vector<std::vector<size_t>> cases = {
        {0, 1, 100, 0},
        std::vector<size_t>(10000, 97),               // many blocks of small texts
        {block - 4, 1, block - 5, block - 3},         // filling a block exactly, and one more
        {100, block, 5, 3 * block, 7, block + 1, 0},  // texts bigger than a block among others
    };
    for (const auto& lengths : cases) {
        LinkStore store;
        ExpectRoundTrip(store, lengths);
    }
}

TEST(LinkStoreTest, ClearedStoreReusesItsBlocksForTextsOfOtherSizes) {
    LinkStore store;
    ExpectRoundTrip(store, {3 * 256 * 1024, 50, 50});
    store.Clear();
    EXPECT_EQ(store.Size(), 0u);
    ExpectRoundTrip(store, std::vector<size_t>(20000, 61));  // through the big block and beyond
    store.Clear();
    ExpectRoundTrip(store, {10, 2 * 256 * 1024, 10, 600 * 1024});
}

}  // namespace
}  // namespace favpage
