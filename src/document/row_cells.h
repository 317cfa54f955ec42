// CRowCells: the cells a log view draws beside each row's message - the line number, the
// interval since the previous time-stamped row and the interval check's mark - computed
// once for every front end (the view paints them, quillon-cli prints them).
#pragma once

#include <cstdint>

#include "document/log_line.h"
#include "document/row_source.h"
#include "stamps/time_stamp.h"

struct CRowCell {
    int64_t shownNumber = 0;     // the line number as the view shows it: 1-based
    char16_t number[24] = {};    // "%10d" of shownNumber, as the line-number column draws it
    int hasInterval = 0;         // 0: the interval cell is empty (the row has no date part)
    char16_t interval[64] = {};  // "HH:MM:SS.mmm", or "99:99:99.999" when the time went back
    int32_t intervalMs = 0;
    int marked = 0;  // 1: the interval check paints the cell in the error colours
};

class CRowCells {
public:
    // Cells for a view whose first visible row is firstRow: the interval reference is the
    // entry just above it, or the first entry itself when firstRow is 0.
    CRowCells(const CLogLineList& lines, int64_t firstRow, int checkOn, int32_t thresholdMs);
    CRowCells(const CRowSource& rows, CRow firstRow, int checkOn, int32_t thresholdMs);
    // The cells of the next row; rows must come in list order from firstRow on.
    void Next(const CLogLine& line, CRowCell* cell);

private:
    CIntervalTracker m_tracker;
    int m_checkOn;
    int32_t m_threshold;
};
