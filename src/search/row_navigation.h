// Moving through a view's rows by time and by trouble: the first row at or after a time,
// the next or previous row holding an error line, the next or previous slow interval.
// Rows are read through CRowSource only; every answer is a row, -1 when there is none,
// or kScanCancelled when *cancel was set (checked once a batch of rows).
#pragma once

#include <atomic>
#include <cstdint>

#include "document/log_line.h"
#include "document/row_source.h"
#include "stamps/stamp_clock.h"

// Whether any row has a stamp. Stamps are inherited down the rows, so the last row has
// one whenever an earlier row has: constant time.
bool RowsHaveStamps(const CRowSource& rows);

// The first row (in row order) whose stamp is at or after the query on the log's clock
// (see CStampClock and QueryKey; the clock is that of the first stamped row). A row
// after a jump back in time is compared by its own stamp.
int64_t FirstRowAtOrAfter(const CRowSource& rows, const CTimeQuery& query, const std::atomic<int>* cancel = nullptr);

// The first row after from (before from, for Previous) holding an error line. errors: the
// file's error lines in line-number order. rowsAreLines: row i is line i (the log's own
// view), so the answer comes from the error list alone; otherwise the rows are walked.
int64_t NextErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                     const std::atomic<int>* cancel = nullptr);
int64_t PreviousErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                         const std::atomic<int>* cancel = nullptr);

// The first row after from (before from, for Previous) whose interval cell, as a view
// shows it (CRowCells), is at or above thresholdMs.
int64_t NextSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs, const std::atomic<int>* cancel = nullptr);
int64_t PreviousSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs,
                        const std::atomic<int>* cancel = nullptr);
