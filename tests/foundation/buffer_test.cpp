// CGrowBuffer: growth rules, kept contents, shrinking and refused sizes.
#include "foundation/buffer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(GrowBufferTest, GrowsGeometricallyKeepsContentsAndShrinks) {
    CGrowBuffer<int32_t> b;
    EXPECT_EQ(nullptr, b.Data());
    EXPECT_EQ(0u, b.Capacity());
    ASSERT_EQ(1, b.Grow(3));  // from nothing: what was asked
    EXPECT_EQ(3u, b.Capacity());
    for (int32_t i = 0; i < 3; ++i) b.Data()[i] = i * 7;
    ASSERT_EQ(1, b.Grow(4));  // one more: doubles
    EXPECT_EQ(6u, b.Capacity());
    ASSERT_EQ(1, b.Grow(20));  // more than double: what was asked
    EXPECT_EQ(20u, b.Capacity());
    EXPECT_EQ(1, b.Grow(5));      // already room: unchanged
    EXPECT_EQ(1, b.Reserve(21));  // exact
    EXPECT_EQ(21u, b.Capacity());
    b.Shrink(0);   // never to nothing
    b.Shrink(40);  // never up
    EXPECT_EQ(21u, b.Capacity());
    b.Shrink(3);
    EXPECT_EQ(3u, b.Capacity());
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(i * 7, b.Data()[i]);
    // A size that cannot be counted in bytes is refused, the buffer left as it was.
    EXPECT_EQ(0, b.Grow(SIZE_MAX / 2));
    EXPECT_EQ(0, b.Reserve(SIZE_MAX / 2));
    EXPECT_EQ(3u, b.Capacity());
    EXPECT_EQ(14, b.Data()[2]);
}

}  // namespace
