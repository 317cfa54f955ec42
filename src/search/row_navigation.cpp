// Time, error and slow-interval navigation over a row source.
#include "search/row_navigation.h"

#include "search/error_rows.h"
#include "search/line_scan.h"
#include "search/row_batches.h"

namespace {

// Whether a row's interval cell, with prev the entry above it, reaches the threshold.
bool IsSlow(const CLogLine& prev, const CLogLine& row, int32_t thresholdMs) {
    CIntervalTracker tracker(prev.timeStamp);
    int32_t ms = 0;
    char16_t text[64];
    return tracker.Next(row.timeStamp, &ms, text) == 1 && IntervalReachesThreshold(true, ms, thresholdMs);
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
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(cancel)) return kScanCancelled;
        for (int64_t k = 0; k < n; ++k) {
            int64_t i = backward ? n - 1 - k : k;
            if (lookup.Contains(CLineNumber(lines[i].lineNumber))) return first.Value() + i;
        }
    }
    return -1;
}

}  // namespace

bool RowsHaveStamps(const CRowSource& rows) {
    CLogLine last;
    return rows.Entry(CRow(rows.Count() - 1), &last) && last.timeStamp.HasDate();
}

int64_t FirstRowAtOrAfter(const CRowSource& rows, const CTimeQuery& query, const std::atomic<int>* cancel) {
    CRowBatches batches(rows, CRow(0), CRow(rows.Count()));
    bool clockSet = false;
    CStampClock clock;
    int64_t target = 0;
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(cancel)) return kScanCancelled;
        for (int64_t i = 0; i < n; ++i) {
            if (!lines[i].timeStamp.HasDate()) continue;
            if (!clockSet) {
                clock = CStampClock(lines[i].timeStamp);
                target = QueryKey(clock, query);
                clockSet = true;
            }
            if (clock.Key(lines[i].timeStamp) >= target) return first.Value() + i;
        }
    }
    return -1;
}

int64_t NextErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                     const std::atomic<int>* cancel) {
    if (!rowsAreLines) return WalkForError(rows, errors, from, false, cancel);
    CErrorRows lookup(&errors);
    return ErrorLineRow(rows, lookup.LineAt(lookup.LowerBound(CLineNumber(from.Value() + 1))));
}

int64_t PreviousErrorRow(const CRowSource& rows, const CLogLineList& errors, CRow from, bool rowsAreLines,
                         const std::atomic<int>* cancel) {
    if (!rowsAreLines) return WalkForError(rows, errors, from, true, cancel);
    CErrorRows lookup(&errors);
    int64_t below = lookup.LowerBound(CLineNumber(from.Value())) - 1;
    return below >= 0 ? ErrorLineRow(rows, lookup.LineAt(below)) : -1;
}

int64_t NextSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs, const std::atomic<int>* cancel) {
    CLogLine prev;
    // Row 0's reference is itself, as the view draws it.
    if (!rows.Entry(from.Value() >= 0 ? from : CRow(0), &prev)) return -1;
    CRowBatches batches(rows, from.Value() >= 0 ? from + 1 : CRow(0), CRow(rows.Count()));
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(cancel)) return kScanCancelled;
        for (int64_t i = 0; i < n; ++i) {
            if (IsSlow(prev, lines[i], thresholdMs)) return first.Value() + i;
            prev = lines[i];
        }
    }
    return -1;
}

int64_t PreviousSlowRow(const CRowSource& rows, CRow from, int32_t thresholdMs, const std::atomic<int>* cancel) {
    CRowBatches batches(rows, CRow(0), from, true);
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(cancel)) return kScanCancelled;
        for (int64_t i = n - 1; i >= 0; --i) {
            CLogLine prev = i > 0 ? lines[i - 1] : lines[0];
            if (i == 0 && first.Value() > 0 && !rows.Entry(first - 1, &prev)) return -1;
            if (IsSlow(prev, lines[i], thresholdMs)) return first.Value() + i;
        }
    }
    return -1;
}
