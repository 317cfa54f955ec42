// The overview's ticks: error rows, hits, slow intervals (as the view's cells flag them),
// markers per bucket, chunks folded past their count, and a followed log's rescan.
#include "search/overview_ticks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/row_cells.h"
#include "foundation/convert.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

CTimeStamp At(uint32_t ms) {
    CTimeStamp t;
    t.year = 2026;
    t.month = 12;
    t.day = 9;
    t.milliseconds = ms;
    return t;
}

// Rows without a file: line number i * 2, a stamp every row but each seventh.
std::unique_ptr<CLineListRows> StampedRows(int64_t n) {
    auto list = std::make_unique<CLogLineList>();
    uint32_t ms = 0;
    for (int64_t i = 0; i < n; ++i) {
        ms += i % 97 == 0 ? 5000 : 10;
        if (i % 1000 == 999) ms -= 20000;  // the clock goes back now and then
        list->Append(static_cast<int32_t>(i * 2), i % 7 == 3 ? CTimeStamp() : At(ms), static_cast<uint64_t>(i), 1);
    }
    return std::make_unique<CLineListRows>(std::move(list), nullptr);
}

TEST(OverviewTicksTest, ErrorsAndSlowIntervalsMatchARowByRowReading) {
    auto rows = StampedRows(200000);  // more rows than chunks: they fold twice
    CLogLineList errors;
    for (int32_t line = 6; line < 400000; line += 4001) errors.Append(line, CTimeStamp(), 0, 1);
    errors.Append(399999, CTimeStamp(), 0, 1);  // odd: on no row
    COverviewInputs in;
    in.rows = rows.get();
    in.errorLines = &errors;
    in.intervalCheck = true;
    in.thresholdMs = 1000;
    COverviewTicks ticks;
    ticks.Reset();
    while (ticks.Scan(in, 3000) > 0) {
    }
    ASSERT_EQ(200000, ticks.Scanned());
    EXPECT_EQ(4, ticks.ChunkRows());
    // Each chunk holds what its rows give when read one by one, as the view draws them.
    std::vector<uint8_t> expected(200000 / 4, 0);
    CRowCells cells(*rows, CRow(0), 1, 1000);
    int errorRows = 0;
    for (int64_t r = 0; r < 200000; ++r) {
        CLogLine line;
        rows->Entry(CRow(r), &line);
        CRowCell cell;
        cells.Next(line, &cell);
        if (cell.marked) expected[r / 4] |= kTickSlow;
        if ((line.lineNumber - 6) % 4001 == 0) {
            expected[r / 4] |= kTickError;
            ++errorRows;
        }
    }
    EXPECT_EQ(50, errorRows);
    int slowChunks = 0;
    for (int64_t c = 0; c < 50000; ++c) {
        ASSERT_EQ(expected[c], ticks.FlagsOf(c * 4, c * 4 + 4)) << "chunk " << c;
        slowChunks += (expected[c] & kTickSlow) != 0;
    }
    EXPECT_GT(slowChunks, 2000);
}

TEST(OverviewTicksTest, HitsComeFromTheLinesAndAFollowedTailIsScannedAgain) {
    TempDir dir;
    std::string bytes;
    auto list = std::make_unique<CLogLineList>();
    for (int i = 0; i < 300; ++i) {
        std::string line = (i % 50 == 17 ? "x needle " : "x hay ") + std::to_string(i) + "\n";
        list->Append(i, CTimeStamp(), bytes.size(), static_cast<int32_t>(line.size()));
        bytes += line;
    }
    WriteBytes(dir.FsPath("a.log"), bytes);
    CLogFile file;
    ASSERT_EQ(1, file.Open(dir.File("a.log").c_str()));
    CLineListRows rows(std::move(list), &file);
    CSearchCondition condition;
    condition.Add(u"needle");
    CLineMatcher matcher(condition, kCodePageUtf8);
    ASSERT_EQ(1, matcher.Prepare());
    COverviewInputs in;
    in.rows = &rows;
    in.matcher = &matcher;
    COverviewTicks ticks;
    ticks.Reset();
    EXPECT_EQ(300, ticks.Scan(in, 1000));
    for (int r = 0; r < 300; ++r) EXPECT_EQ(r % 50 == 17 ? kTickHit : 0, ticks.FlagsOf(r, r + 1)) << r;
    // The tail from row 100 on now holds no needle: its old hits go.
    CLogLineList tail;
    for (int i = 100; i < 120; ++i) tail.Append(i, CTimeStamp(), 0, 5);  // "x hay" at offset 0
    ASSERT_EQ(1, ReplaceTail(rows.List(), 100, tail));
    ticks.RescanFrom(100);
    EXPECT_EQ(100, ticks.Scanned());
    EXPECT_EQ(20, ticks.Scan(in, 1000));
    EXPECT_EQ(kTickHit, ticks.FlagsOf(0, 120) & kTickHit);
    EXPECT_EQ(0, ticks.FlagsOf(100, 300));
    EXPECT_EQ(kTickHit, ticks.FlagsOf(67, 68));
}

TEST(OverviewTicksTest, BucketsSpreadRowsAndMarkersOverAnyHeight) {
    auto rows = StampedRows(10);
    CLogLineList errors;
    errors.Append(8, CTimeStamp(), 0, 1);  // row 4
    COverviewInputs in;
    in.rows = rows.get();
    in.errorLines = &errors;
    COverviewTicks ticks;
    ticks.Reset();
    ticks.Scan(in, 100);
    CMarkerList markers;
    markers.Toggle(CRow(9), CLineNumber(18), CFileOffset(9));
    // Fewer rows than buckets: a row covers several buckets, all flagged.
    std::vector<uint8_t> tall(25);
    ticks.Buckets(10, &markers, 25, tall.data());
    std::vector<uint8_t> want(25, 0);
    for (int b = 10; b < 13; ++b) want[b] = kTickError;
    for (int b = 23; b < 25; ++b) want[b] = kTickMarker;
    EXPECT_EQ(want, tall);
    // More rows than buckets: a bucket takes the rows it covers.
    std::vector<uint8_t> flat(3);
    ticks.Buckets(10, &markers, 3, flat.data());
    EXPECT_EQ((std::vector<uint8_t>{0, kTickError, kTickMarker}), flat);
    // Rows not yet scanned have no flags.
    ticks.RescanFrom(0);
    ticks.Buckets(10, nullptr, 3, flat.data());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), flat);
}

}  // namespace
