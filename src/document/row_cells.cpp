// The row cells: the interval tracker walks the rows in list order, so the reference of an
// extraction or error-log row is the previous entry of that list, not of the file.
#include "document/row_cells.h"

#include "foundation/format.h"

namespace {

CTimeStamp ReferenceFor(const CLogLineList& lines, int64_t firstRow) {
    CLogLine above;
    return lines.Get(firstRow > 0 ? firstRow - 1 : 0, &above) ? above.timeStamp : CTimeStamp();
}

CTimeStamp ReferenceFor(const CRowSource& rows, CRow firstRow) {
    CLogLine above;
    return rows.Entry(firstRow > CRow(0) ? firstRow - 1 : CRow(0), &above) ? above.timeStamp : CTimeStamp();
}

}  // namespace

CRowCells::CRowCells(const CLogLineList& lines, int64_t firstRow, int checkOn, int32_t thresholdMs)
    : m_tracker(ReferenceFor(lines, firstRow)), m_checkOn(checkOn), m_threshold(thresholdMs) {}

CRowCells::CRowCells(const CRowSource& rows, CRow firstRow, int checkOn, int32_t thresholdMs)
    : m_tracker(ReferenceFor(rows, firstRow)), m_checkOn(checkOn), m_threshold(thresholdMs) {}

void CRowCells::Next(const CLogLine& line, CRowCell* cell) {
    cell->shownNumber = line.lineNumber + 1;
    FormatString(cell->number, sizeof cell->number / sizeof cell->number[0], u"%10lld",
                 static_cast<long long>(cell->shownNumber));
    cell->intervalMs = 0;
    cell->interval[0] = 0;
    cell->hasInterval = m_tracker.Next(line.timeStamp, &cell->intervalMs, cell->interval);
    cell->marked = cell->hasInterval && IntervalReachesThreshold(m_checkOn != 0, cell->intervalMs, m_threshold);
}
