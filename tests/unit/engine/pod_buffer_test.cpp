// Tests of PodBuffer: values survive every growth, copies are independent, and a cleared or
// moved-from buffer starts again empty.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "engine/pod_buffer.h"

namespace favpage {
namespace {

struct Pair {
    uint64_t a;
    uint32_t b;
};

TEST(PodBufferTest, ValuesSurviveGrowthAndExtension) {
    PodBuffer<Pair> buffer;
    for (uint32_t i = 0; i < 100000; ++i) buffer.push_back(Pair{i * 3ull, i});
    Pair* more = buffer.Extend(1000);
    for (uint32_t i = 0; i < 1000; ++i) more[i] = Pair{7, 100000 + i};
    ASSERT_EQ(buffer.size(), 101000u);
    for (uint32_t i = 0; i < 100000; ++i) {
        ASSERT_EQ(buffer[i].a, i * 3ull);
        ASSERT_EQ(buffer[i].b, i);
    }
    EXPECT_EQ(buffer[100999].b, 100999u);
}

TEST(PodBufferTest, CopiesAreIndependentAndMovesLeaveNothingBehind) {
    PodBuffer<unsigned char> a;
    for (int i = 0; i < 300; ++i) a.push_back(static_cast<unsigned char>(i));
    PodBuffer<unsigned char> b = a;
    b[0] = 99;
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(b.size(), 300u);
    PodBuffer<unsigned char> c = std::move(a);
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(c[299], static_cast<unsigned char>(299));
    a.push_back(5);  // a moved-from buffer is usable again
    EXPECT_EQ(a[0], 5);
    c.clear();
    EXPECT_EQ(c.size(), 0u);
    c.push_back(1);
    EXPECT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0], 1);
    b = c;
    EXPECT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0], 1);
}

}  // namespace
}  // namespace favpage
