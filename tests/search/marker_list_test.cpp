// The marker list: sorted by line number, no duplicates, toggling and clearing.
#include "search/marker_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Numbers(const CMarkerList& m) {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < m.Count(); ++i) v.push_back(m.Entries()[i].lineNumber);
    return v;
}

TEST(MarkerListTest, MarkersAreKeptInLineOrder) {
    CMarkerList m;
    EXPECT_EQ(1, m.Toggle(9, 9, 900));
    EXPECT_EQ(1, m.Toggle(2, 2, 200));
    EXPECT_EQ(1, m.Toggle(5, 5, 500));
    EXPECT_EQ((std::vector<int32_t>{2, 5, 9}), Numbers(m));
    EXPECT_EQ(500u, m.At(1)->offset);
    EXPECT_EQ(1, m.Find(5));
    EXPECT_EQ(-1, m.Find(6));
}

TEST(MarkerListTest, TogglingTwiceRemovesTheMarker) {
    CMarkerList m;
    m.Toggle(0, 3, 30);
    m.Toggle(1, 7, 70);
    EXPECT_EQ(0, m.Toggle(0, 3, 30));
    EXPECT_EQ((std::vector<int32_t>{7}), Numbers(m));
    EXPECT_EQ(0, m.Toggle(1, 7, 70));
    EXPECT_EQ(0, m.Count());
}

TEST(MarkerListTest, GrowsPastOneStepAndClearFreesEverything) {
    CMarkerList m;
    for (int32_t i = 0; i < 20000; ++i) m.Toggle(i, i * 2, static_cast<uint64_t>(i));
    for (int32_t i = 0; i < 50; ++i) m.Toggle(i, i * 2 + 1, static_cast<uint64_t>(i));
    ASSERT_EQ(20050, m.Count());
    EXPECT_EQ(1, m.Entries()[1].lineNumber);
    for (int32_t i = 1; i < m.Count(); ++i) ASSERT_LT(m.Entries()[i - 1].lineNumber, m.Entries()[i].lineNumber);
    m.Clear();
    EXPECT_EQ(0, m.Count());
    EXPECT_EQ(0, m.Capacity());
    EXPECT_EQ(nullptr, m.Entries());
}

}  // namespace
