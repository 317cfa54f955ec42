// COverviewTicks: where a view's error rows, search hits and slow intervals lie, folded
// into at most kOverviewChunks chunks of rows (64 KiB whatever the log's size), from which
// a strip of any height is drawn. The scan goes in steps of a few thousand rows, so that
// the UI thread can run it between messages, and carries on where it stopped when a
// followed log appends rows. Markers change often and are few: they are added per pixel
// bucket when the buckets are made, not scanned. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "document/row_source.h"
#include "foundation/buffer.h"
#include "search/line_matcher.h"
#include "search/line_window.h"
#include "search/marker_list.h"
#include "search/row_logs.h"
#include "search/row_matcher.h"

// Flags of a chunk or a pixel bucket.
constexpr uint8_t kTickError = 1;
constexpr uint8_t kTickHit = 2;
constexpr uint8_t kTickSlow = 4;
constexpr uint8_t kTickMarker = 8;

constexpr int64_t kOverviewChunks = 65536;

// What a scan looks at. The rows, error lines and matcher stay unchanged while it is used.
struct COverviewInputs {
    const CRowSource* rows = nullptr;
    const CLogLineList* errorLines = nullptr;  // the log's error lines in line-number order; null: none
    CLineMatcher* matcher = nullptr;           // null: no search hits wanted
    // Rows of several logs: which log each row is from, and the hits matched in its own.
    const CRowLogs* logs = nullptr;
    CRowMatcher* rowMatcher = nullptr;
    bool intervalCheck = false;  // slow intervals: at or above thresholdMs
    int32_t thresholdMs = 0;
};

class COverviewTicks {
public:
    // Forgets every flag: the next scan starts at row 0.
    void Reset();
    // Scans up to n rows after those already scanned; how many it scanned (0 when all are).
    int64_t Scan(const COverviewInputs& in, int64_t n);
    // Rows scanned so far, from row 0.
    int64_t Scanned() const { return m_scanned; }
    // A followed log replaced its rows from row on: they are scanned again.
    void RescanFrom(int64_t row);
    // Flags of the rows [first, end) as far as they are scanned (chunk-wise: a chunk that
    // straddles the range counts whole).
    uint8_t FlagsOf(int64_t first, int64_t end) const;
    // The flags of count pixel buckets over rowCount rows (bucket b holds the rows from
    // b * rowCount / count on), with the markers' rows added.
    void Buckets(int64_t rowCount, const CMarkerList* markers, int count, uint8_t* out) const;
    // How many rows a chunk holds (a power of two).
    int64_t ChunkRows() const { return int64_t{1} << m_shift; }

private:
    // Walks the error list along the rows: the first entry at or after the last line asked.
    struct CErrorCursor {
        std::unique_ptr<CLogLineReader> reader;  // just after the entry
        int64_t line = 0;                        // its line number (INT64_MAX: none)
        int64_t asked = 0;
    };
    // Whether lineNumber is in errors.
    static bool IsError(const CLogLineList& errors, int64_t lineNumber, CErrorCursor* at);
    bool IsHit(const COverviewInputs& in, CRow row, const CLogLine& line);
    bool IsSlow(const CTimeStamp& stamp, int32_t thresholdMs);
    void Mark(int64_t row, uint8_t flags);

    uint8_t m_chunks[kOverviewChunks] = {};
    int m_shift = 0;
    int64_t m_scanned = 0;
    CTimeStamp m_reference;  // the interval reference: the last dated row scanned
    bool m_referenceKnown = false;
    // The hits' lines are read through a window of the file, as the scans read them: a
    // read a line would cost the scan of a large log many seconds. Dropped when a scan ends
    // or rows are replaced, so that it never holds bytes a followed log rewrote.
    std::unique_ptr<CLineWindow> m_window;
    const CFile* m_windowFile = nullptr;
};
