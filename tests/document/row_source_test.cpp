// Rows read through a row source: a list of one file, and rows interleaved from two files,
// as a merged view will have them; a range's text reads each row from its own file.
#include "document/row_source.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/convert.h"
#include "document/row_cells.h"
#include "document/row_text.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

// Rows alternating between two files, each row naming the next line of its own file.
class CTwoFileRows : public CRowSource {
public:
    CTwoFileRows(CLogFile* a, CLogFile* b, std::vector<CLogLine> lines) : m_a(a), m_b(b), m_lines(std::move(lines)) {}
    int64_t Count() const override { return static_cast<int64_t>(m_lines.size()); }
    bool Entry(CRow row, CLogLine* line) const override {
        if (row < CRow(0) || row >= CRow(Count())) return false;
        *line = m_lines[static_cast<size_t>(row.Value())];
        return true;
    }
    CLogFile* FileOf(CRow row) const override {
        if (row < CRow(0) || row >= CRow(Count())) return nullptr;
        return row.Value() % 2 == 0 ? m_a : m_b;
    }
    CLogFile* File() const override { return m_a; }

private:
    CLogFile* m_a;
    CLogFile* m_b;
    std::vector<CLogLine> m_lines;
};

CLogLine Line(int32_t number, uint64_t offset, int32_t length, uint32_t ms = 0) {
    CLogLine line;
    line.lineNumber = number;
    line.offset = offset;
    line.length = length;
    line.timeStamp.year = ms > 0 ? 2024 : 0;
    line.timeStamp.milliseconds = ms;
    return line;
}

std::u16string Text(const CRowSource& rows, CFile* file, CRowRange range) {
    char16_t* text = RangeText(rows, file, range, kCodePageUtf8, false);
    std::u16string result = text != nullptr ? text : u"<null>";
    std::free(text);
    return result;
}

TEST(RowSourceTest, ARangeReadsEachRowFromItsOwnFileAndAListSourceStaysInBounds) {
    TempDir dir;
    WriteBytes(dir.FsPath("a.log"), "a0\na1\n");
    WriteBytes(dir.FsPath("b.log"), "B-zero\nB-one\n");
    CLogFile a;
    CLogFile b;
    ASSERT_EQ(1, a.Open(dir.File("a.log").c_str()));
    ASSERT_EQ(1, b.Open(dir.File("b.log").c_str()));
    CTwoFileRows merged(&a, &b, {Line(0, 0, 3, 900), Line(0, 0, 7, 1000), Line(1, 3, 3, 1500), Line(1, 7, 6, 1500)});

    // Columns cut the first and the last row; every row in between comes whole.
    EXPECT_EQ(u"0\nB-zero\na1\nB-o", Text(merged, nullptr, CRowRange{0, 1, 3, 3}));
    // A given file (a job's own handle) is read for every row instead.
    EXPECT_EQ(u"a0\na0\n", Text(merged, &a, CRowRange{0, 0, 1, 3}));
    // Rows beyond the source are left out.
    EXPECT_EQ(u"a1\nB-one\n", Text(merged, nullptr, CRowRange{2, 0, 9, 99}));

    // The interval reference of a first row is the row just above it (1.000, not 0.900).
    CRowCells cells(merged, CRow(2), 0, 0);
    CRowCell cell;
    cells.Next(Line(1, 3, 3, 1500), &cell);
    EXPECT_EQ(std::u16string(u"00:00:00.500"), std::u16string(cell.interval));

    auto list = std::make_unique<CLogLineList>();
    list->Append(Line(4, 0, 3));
    CLineListRows rows(std::move(list), &a);
    CLogLine line;
    EXPECT_EQ(1, rows.Count());
    EXPECT_TRUE(rows.Entry(CRow(0), &line));
    EXPECT_EQ(4, line.lineNumber);
    EXPECT_FALSE(rows.Entry(CRow(1), &line));
    EXPECT_FALSE(rows.Entry(CRow(-1), &line));
    EXPECT_EQ(&a, rows.FileOf(CRow(0)));
    EXPECT_EQ(nullptr, rows.FileOf(CRow(1)));
    EXPECT_EQ(&a, CLineListRows(nullptr, &a).File());
    EXPECT_EQ(0, CLineListRows(nullptr, &a).Count());
}

}  // namespace
