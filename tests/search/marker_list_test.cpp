// The marker list: sorted by line number, no duplicates, toggling and clearing.
#include "search/marker_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Numbers(const CMarkerList& m) {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < m.Count(); ++i) v.push_back(static_cast<int32_t>(m.Entries()[i].lineNumber.Value()));
    return v;
}

// Toggles the marker of row, line number and offset, given as plain numbers.
int Toggle(CMarkerList& m, int64_t row, int64_t line, uint64_t offset) {
    return m.Toggle(CRow(row), CLineNumber(line), CFileOffset(offset));
}

TEST(MarkerListTest, MarkersAreKeptInLineOrder) {
    CMarkerList m;
    EXPECT_EQ(1, Toggle(m, 9, 9, 900));
    EXPECT_EQ(1, Toggle(m, 2, 2, 200));
    EXPECT_EQ(1, Toggle(m, 5, 5, 500));
    EXPECT_EQ((std::vector<int32_t>{2, 5, 9}), Numbers(m));
    EXPECT_EQ(500u, m.At(1)->offset.Value());
    EXPECT_EQ(1, m.Find(CLineNumber(5)));
    EXPECT_EQ(-1, m.Find(CLineNumber(6)));
}

TEST(MarkerListTest, TogglingTwiceRemovesTheMarker) {
    CMarkerList m;
    Toggle(m, 0, 3, 30);
    Toggle(m, 1, 7, 70);
    EXPECT_EQ(0, Toggle(m, 0, 3, 30));
    EXPECT_EQ((std::vector<int32_t>{7}), Numbers(m));
    EXPECT_EQ(0, Toggle(m, 1, 7, 70));
    EXPECT_EQ(0, m.Count());
}

TEST(MarkerListTest, GrowsPastOneStepAndClearFreesEverything) {
    CMarkerList m;
    for (int32_t i = 0; i < 20000; ++i) Toggle(m, i, i * 2, static_cast<uint64_t>(i));
    for (int32_t i = 0; i < 50; ++i) Toggle(m, i, i * 2 + 1, static_cast<uint64_t>(i));
    ASSERT_EQ(20050, m.Count());
    EXPECT_EQ(30000, m.Capacity());  // in steps of 10,000
    EXPECT_EQ(CLineNumber(1), m.Entries()[1].lineNumber);
    for (int32_t i = 1; i < m.Count(); ++i) ASSERT_LT(m.Entries()[i - 1].lineNumber, m.Entries()[i].lineNumber);
    m.Clear();
    EXPECT_EQ(0, m.Count());
    EXPECT_EQ(0, m.Capacity());
    EXPECT_EQ(nullptr, m.Entries());
}

}  // namespace
