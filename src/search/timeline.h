// CTimeline: how many rows, and how many error rows, fall in each time bucket of a log's
// time range - the histogram of the timeline and of `quillon-cli timeline`.
//
// Each row counts in the bucket of its own stamp (own or inherited), on the log's clock
// (CStampClock: date and time when the first stamp has a year, else the time of day), so a
// jump back in time or past midnight puts the row where its stamp says. Rows before the
// first stamp are not counted. Buckets start at whole multiples of the width on that
// clock (midnight, the hour, ...).
//
// The automatic width is the smallest of 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min,
// 1, 2, 3, 6, 12 h and 1 day that gives at most kTimelineBars buckets; each step of the
// ladder is at most 2.5 times the last, so the bars then number about 160 to 400 unless the
// range is under 160 s. A range beyond 400 days takes whole days enough to stay within 400.
//
// Memory: the buckets only, at most kMaxTimelineBuckets (1 MiB) unless the request allows more. Reads rows through
// CRowSource::ReadRows in batches; two passes (the range, then the counts).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "document/progress_listener.h"
#include "document/row_source.h"
#include "document/stamp_clock.h"

struct CTimeBucket {
    int64_t rows = 0;
    int64_t errors = 0;  // rows holding an error line
    CRow firstRow{-1};   // the first row (in row order) counted here; -1 when none
};

constexpr int64_t kTimelineBars = 400;
constexpr int64_t kMaxTimelineBuckets = (int64_t{1} << 20) / static_cast<int64_t>(sizeof(CTimeBucket));
// Returned when an explicit width would need more buckets than the request allows.
constexpr int kTimelineTooManyBuckets = -4;

// What a build reads and how it can be stopped. Threads: as the line scans.
struct CTimelineRequest {
    const CRowSource* rows = nullptr;
    const CLogLineList* errors = nullptr;      // the file's error lines (line-number order) or null
    int64_t widthMs = 0;                       // 0: automatic; else the bucket width
    int64_t maxBuckets = kMaxTimelineBuckets;  // the most buckets an explicit width may need
    CProgressListener* listener = nullptr;     // rows examined of twice the row count
    const std::atomic<int>* cancel = nullptr;
};

class CTimeline {
public:
    // Fills the timeline from the request. 1 when done (HasStamps() false when no row has a
    // stamp); 0 when memory ran out; kScanCancelled; kTimelineTooManyBuckets. Whenever it
    // does not return 1, the timeline is empty.
    int Build(const CTimelineRequest& request);

    bool HasStamps() const { return m_count > 0; }
    const CStampClock& Clock() const { return m_clock; }
    int64_t WidthMs() const { return m_width; }
    int64_t BucketCount() const { return m_count; }
    // The key where bucket index starts (see CStampClock; FormatStampKey prints it).
    int64_t BucketStart(int64_t index) const { return m_start + index * m_width; }
    const CTimeBucket& Bucket(int64_t index) const { return m_buckets[index]; }
    // The bucket a key falls in, or -1 outside the range.
    int64_t BucketOf(int64_t key) const;
    // The largest row count of a bucket (the height a chart scales to).
    int64_t MaxRows() const { return m_maxRows; }

private:
    void Clear();

    CStampClock m_clock;
    int64_t m_width = 0;
    int64_t m_start = 0;
    int64_t m_count = 0;
    int64_t m_maxRows = 0;
    std::unique_ptr<CTimeBucket[]> m_buckets;
};

// The automatic width for keys from low to high (see above), in milliseconds.
int64_t AutoBucketWidth(int64_t low, int64_t high);
