// The row cells beside a message: line number, interval text and the interval check.
#include "document/row_cells.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CTimeStamp At(uint32_t ms) {
    CTimeStamp ts;
    ts.year = 2024;
    ts.month = 1;
    ts.day = 2;
    ts.milliseconds = ms;
    return ts;
}

std::u16string Interval(const CRowCell& cell) {
    return cell.hasInterval ? std::u16string(cell.interval) : std::u16string(u"-");
}

class RowCellsTest : public ::testing::Test {
protected:
    void Add(const CTimeStamp& ts) { m_lines.Append(m_lines.Count() * 2, ts, 0, 1); }
    // Interval texts of the rows from first on, "-" for an empty cell, "!" after a marked one.
    std::u16string Walk(int32_t first, int check, int32_t threshold) {
        CRowCells cells(m_lines, first, check, threshold);
        std::u16string out;
        for (int32_t i = first; i < m_lines.Count(); ++i) {
            CRowCell cell;
            cells.Next(m_lines[i], &cell);
            out += Interval(cell) + (cell.marked ? u"!" : u"") + u" ";
        }
        return out;
    }
    CLogLineList m_lines;
};

TEST_F(RowCellsTest, IntervalsFollowTheListFromTheTop) {
    Add(CTimeStamp());
    Add(At(3723004));  // 01:02:03.004
    Add(At(3723004));  // a line that inherited the stamp
    Add(At(3733004));
    Add(At(1000));  // past midnight
    EXPECT_EQ(u"- 01:02:03.004 00:00:00.000 00:00:10.000 99:99:99.999 ", Walk(0, 0, 0));
}

TEST_F(RowCellsTest, FirstVisibleRowTakesTheEntryAboveAsReference) {
    Add(At(1000));
    Add(At(5000));
    Add(At(6500));
    EXPECT_EQ(u"00:00:00.000 00:00:04.000 00:00:01.500 ", Walk(0, 0, 0));
    EXPECT_EQ(u"00:00:01.500 ", Walk(2, 0, 0));
}

TEST_F(RowCellsTest, CheckMarksIntervalsAtOrAboveTheThreshold) {
    Add(At(0));
    Add(At(4000));
    Add(At(7999));
    Add(At(5));
    EXPECT_EQ(u"00:00:00.000 00:00:04.000! 00:00:03.999 99:99:99.999! ", Walk(0, 1, 4000));
    EXPECT_EQ(u"00:00:00.000! 00:00:04.000! 00:00:03.999! 99:99:99.999! ", Walk(0, 1, 0));
    EXPECT_EQ(u"00:00:00.000 00:00:04.000 00:00:03.999 99:99:99.999 ", Walk(0, 0, 0));
}

TEST_F(RowCellsTest, LineNumberIsShownOneBasedInTenPlaces) {
    Add(At(0));
    CRowCells cells(m_lines, 0, 0, 0);
    CRowCell cell;
    cells.Next(m_lines[0], &cell);
    EXPECT_EQ(1, cell.shownNumber);
    EXPECT_EQ(std::u16string(u"         1"), std::u16string(cell.number));
}

}  // namespace
