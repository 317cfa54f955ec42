// Scroll ranges on a 32-bit scroll bar: small ranges pass unchanged, huge ones are scaled
// with their ends exact and every row within a bar step of where the thumb puts it.
#include "document/scroll_scale.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(ScrollScaleTest, SmallRangesAreTheBarItself) {
    CScrollRange content{1000, 40};
    CScrollRange bar = ScrollBarRange(content);
    EXPECT_EQ(1000, bar.maximum);
    EXPECT_EQ(40, bar.page);
    EXPECT_EQ(961, LastScrollPosition(content));
    EXPECT_EQ(500, ScrollBarPosition(content, 500));
    EXPECT_EQ(500, ScrollContentPosition(content, 500));
    EXPECT_EQ(961, ScrollBarPosition(content, 5000));  // beyond the last page: the last page
    EXPECT_EQ(0, ScrollContentPosition(content, -3));
    EXPECT_EQ(0, LastScrollPosition(CScrollRange{10, 40}));  // all of it shows at once
}

TEST(ScrollScaleTest, HugeRangesKeepTheirEndsAndOrder) {
    for (int64_t rows : {int64_t{2147483647}, int64_t{4294967296}, int64_t{5000000000}, INT64_MAX / 4}) {
        CScrollRange content{rows + 20, 40};
        CScrollRange bar = ScrollBarRange(content);
        ASSERT_LE(bar.maximum, INT32_MAX) << rows;
        ASSERT_GE(bar.page, 1) << rows;
        int64_t last = LastScrollPosition(content);
        int64_t barLast = LastScrollPosition(bar);
        // The thumb at either end shows the first or the last page, exactly.
        EXPECT_EQ(0, ScrollBarPosition(content, 0));
        EXPECT_EQ(barLast, ScrollBarPosition(content, last)) << rows;
        EXPECT_EQ(last, ScrollContentPosition(content, barLast)) << rows;
        EXPECT_EQ(last, ScrollContentPosition(content, bar.maximum)) << rows;
        EXPECT_EQ(0, ScrollContentPosition(content, 0));
        // In between, a row comes back within one bar step, and order is kept.
        int64_t step = last / barLast + 1;
        int64_t before = -1;
        for (int64_t row : {int64_t{1}, last / 3, last / 2, last - step, last - 1}) {
            int64_t back = ScrollContentPosition(content, ScrollBarPosition(content, row));
            EXPECT_LE(back > row ? back - row : row - back, step) << rows << " " << row;
            EXPECT_GE(back, before) << rows << " " << row;
            before = back;
        }
        EXPECT_NEAR(static_cast<double>(last) / 2, static_cast<double>(ScrollContentPosition(content, barLast / 2)),
                    static_cast<double>(step));
    }
}
