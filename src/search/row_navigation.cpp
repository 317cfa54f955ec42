// Time, error and slow-interval navigation over a row source.
#include "search/row_navigation.h"

#include "search/error_rows.h"
#include "search/line_scan.h"
#include "search/row_batches.h"

namespace {

// Whether a row's interval cell, with prev the entry above it, reaches the threshold (a row
// without a date part has an empty cell).
bool IsSlow(const CLogLine& prev, const CLogLine& row, int32_t thresholdMs) {
    return row.timeStamp.HasDate() &&
           IntervalReachesThreshold(true, IntervalAfter(prev.timeStamp, row.timeStamp), thresholdMs);
}

// The row of an error line in the log's own view: its line number is its row.
int64_t ErrorLineRow(const CRowSource& rows, int64_t line) {
    CLogLine entry;
    return line >= 0 && rows.Entry(CRow(line), &entry) && entry.lineNumber == line ? line : -1;
}

// Walks the rows from from (exclusive) in one direction for the first error row.
int64_t WalkForError(const CRowSource& rows, const CLogLineList& errors, CRow from, bool backward,
                     const std::atomic<int>* cancel) {
    CRowBatches batches(rows, backward ? CRow(0) : from + 1, backward ? from : CRow(rows.Count()), backward);
    CErrorRows lookup(&errors);
    return batches.Find(cancel,
                        [&](const CLogLine& line, int64_t) { return lookup.Contains(CLineNumber(line.lineNumber)); });
}

}  // namespace

bool RowsHaveStamps(const CRowSource& rows) {
    CLogLine last;
    return rows.Entry(CRow(rows.Count() - 1), &last) && last.timeStamp.HasDate();
}

int64_t FirstRowAtOrAfter(const CRowSource& rows, const CTimeQuery& query, const std::atomic<int>* cancel) {
    CRowBatches batches(rows, CRow(0), CRow(rows.Count()));
    bool clockSet = false;
    CStampKeys keys{CStampClock()};
    int64_t target = 0;
    return batches.Find(cancel, [&](const CLogLine& line, int64_t) {
        if (!line.timeStamp.HasDate()) return false;
        if (!clockSet) {
            CStampClock clock(line.timeStamp, WrittenDay(rows));
            keys = CStampKeys(clock);
            target = QueryKey(clock, query);
            clockSet = true;
        }
        return keys.Key(line.timeStamp) >= target;
    });
}

int64_t NextErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                     const std::atomic<int>* cancel) {
    if (!rowsAreLines) return WalkForError(rows, errors, from, false, cancel);
    CErrorRows lookup(&errors);
    int64_t index = lookup.LowerBound(CLineNumber(from.Value() + 1));
    if (index == lookup.Count()) return -1;
    int64_t row = ErrorLineRow(rows, lookup.LineAt(index));
    // Rows that are not numbered like lines after all are walked.
    return row >= 0 ? row : WalkForError(rows, errors, from, false, cancel);
}

int64_t PreviousErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                         const std::atomic<int>* cancel) {
    if (!rowsAreLines) return WalkForError(rows, errors, from, true, cancel);
    CErrorRows lookup(&errors);
    int64_t below = lookup.LowerBound(CLineNumber(from.Value())) - 1;
    if (below < 0) return -1;
    int64_t row = ErrorLineRow(rows, lookup.LineAt(below));
    return row >= 0 ? row : WalkForError(rows, errors, from, true, cancel);
}

int64_t NextSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs, const std::atomic<int>* cancel) {
    CLogLine prev;
    // Row 0's reference is itself, as the view draws it.
    if (!rows.Entry(from.Value() >= 0 ? from : CRow(0), &prev)) return -1;
    CRowBatches batches(rows, from.Value() >= 0 ? from + 1 : CRow(0), CRow(rows.Count()));
    return batches.Find(cancel, [&](const CLogLine& line, int64_t) {
        bool slow = IsSlow(prev, line, thresholdMs);
        prev = line;
        return slow;
    });
}

int64_t PreviousSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs, const std::atomic<int>* cancel) {
    CRowBatches batches(rows, CRow(0), from, true);
    // Going up, a row is judged when the row above it comes: the row visited before it.
    CLogLine below;
    int64_t belowRow = -1;
    int64_t found = batches.Find(cancel, [&](const CLogLine& line, int64_t row) {
        bool slow = belowRow >= 0 && IsSlow(line, below, thresholdMs);
        below = line;
        belowRow = row;
        return slow;
    });
    if (found >= 0) return found + 1;
    // Row 0's reference is itself, as the view draws it.
    if (found == -1 && belowRow == 0 && IsSlow(below, below, thresholdMs)) return 0;
    return found;
}
