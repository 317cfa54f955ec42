// CTimeline: how many rows, and how many error rows, fall in each time bucket of a log's
// time range - the histogram of the timeline and of `quillon-cli timeline`.
//
// Each row counts in the bucket of its own stamp (own or inherited), on the log's clock
// (CStampClock: date and time when the first stamp has a year, else the time of day), so a
// jump back in time or past midnight puts the row where its stamp says. Rows before the
// first stamp are not counted. Buckets start at whole multiples of the width on that
// clock (midnight, the hour, ...; widths of several days from 0001-01-01, so that no bucket
// starts before the first day a stamp can name).
//
// The automatic width is the smallest of 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min,
// 1, 2, 3, 6, 12 h and 1 day that gives at most kTimelineBars buckets; each step of the
// ladder is at most 2.5 times the last, so the bars then number about 160 to 400 unless the
// range is under 160 s. A range beyond 400 days takes whole days enough to stay within 400.
//
// The rows are counted in one pass into fine buckets, whose width divides every width of
// the ladder from the one the range is thought to need on, so that the width the whole
// range needs (known only at the end) takes whole fine buckets; the fine buckets are merged
// into wider ones when the range outgrows them. A followed log's appended rows are counted
// into the same fine buckets, and the last rows counted are remembered, so that the rows a
// follow step replaces can be taken out again.
//
// Memory: at most kMaxTimelineBuckets (1 MiB) of fine buckets and the shown buckets (at
// most 400 of the automatic width), unless the request allows more. Reads rows through
// CRowSource::ReadRows in batches.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "document/progress_listener.h"
#include "document/row_source.h"
#include "stamps/stamp_clock.h"

struct CTimeBucket {
    int64_t rows = 0;
    int64_t errors = 0;  // rows holding an error line
    CRow firstRow{-1};   // the first row (in row order) counted here; -1 when none
};

constexpr int64_t kTimelineBars = 400;
constexpr int64_t kMaxTimelineBuckets = (int64_t{1} << 20) / static_cast<int64_t>(sizeof(CTimeBucket));
// Returned when an explicit width would need more buckets than the request allows.
constexpr int kTimelineTooManyBuckets = -4;
// Returned by CountMore when the counts cannot be carried on: build the timeline again.
constexpr int kTimelineRecount = -5;

// What a build reads and how it can be stopped. Threads: as the line scans.
struct CTimelineRequest {
    const CRowSource* rows = nullptr;
    const CLogLineList* errors = nullptr;      // the file's error lines (line-number order) or null
    int64_t widthMs = 0;                       // 0: automatic; else the bucket width
    int64_t maxBuckets = kMaxTimelineBuckets;  // the most buckets an explicit width may need
    CProgressListener* listener = nullptr;     // rows counted of the row count
    const std::atomic<int>* cancel = nullptr;
};

class CTimeline {
public:
    // Fills the timeline from the request. 1 when done (HasStamps() false when no row has a
    // stamp); 0 when memory ran out; kScanCancelled; kTimelineTooManyBuckets. Whenever it
    // does not return 1, the timeline is empty.
    int Build(const CTimelineRequest& request);
    // Follow mode. The rows from row on were replaced or are gone: their counts are taken
    // out. False when more rows than are remembered went (build again).
    bool Uncount(CRow row);
    // Counts up to n rows after those counted (the request's width, listener and cancel
    // are not used). 1; 0 when memory ran out; kTimelineRecount.
    int CountMore(const CTimelineRequest& request, int64_t n);
    // Rows counted so far, from row 0.
    int64_t Counted() const { return m_counted; }

    bool HasStamps() const { return m_count > 0; }
    const CStampClock& Clock() const { return m_clock; }
    int64_t WidthMs() const { return m_width; }
    int64_t BucketCount() const { return m_count; }
    // The key where bucket index starts (see CStampClock; FormatStampKey prints it).
    int64_t BucketStart(int64_t index) const { return m_start + index * m_width; }
    const CTimeBucket& Bucket(int64_t index) const {
        return m_shownInFine ? m_fine[m_shownFrom + index] : m_buckets[index];
    }
    // The bucket a key falls in, or -1 outside the range.
    int64_t BucketOf(int64_t key) const;
    // The largest row count of a bucket (the height a chart scales to).
    int64_t MaxRows() const { return m_maxRows; }
    // The bytes the timeline holds besides the object itself.
    int64_t HeldBytes() const;

private:
    // What the last rows counted added, to take it out again.
    struct CCountedRow {
        int64_t key = 0;
        bool stamped = false;
        bool error = false;
    };
    static constexpr int64_t kRemembered = 64;

    void Clear();
    // The first stamped row sets the clock and the fine width (hint: a stamp of the range's
    // other end, or null; writtenDay: see CStampClock).
    int Start(const CTimeStamp& first, const CTimeStamp* hint, int64_t writtenDay);
    int Add(int64_t key, bool error, CRow row);
    // Fine buckets over the keys from low to high, merged to a wider fine width if needed.
    int Cover(int64_t low, int64_t high);
    // The shown buckets from the fine ones, once every row is counted.
    int Show();
    // Shows no buckets, until the next Show: the fine ones moved or a recount is due.
    void HideShown();
    int64_t BucketsFor(int64_t low, int64_t high, int64_t width) const;
    int64_t AlignDown(int64_t key, int64_t width) const;
    int CountFrom(const CTimelineRequest& request, int64_t n, const CTimeStamp* hint);
    int CountRows(const CTimelineRequest& request, int64_t n, const CTimeStamp* hint);
    int BuildInTwoPasses(const CTimelineRequest& request);

    CStampClock m_clock;
    bool m_clockSet = false;
    CStampKeys m_keys{CStampClock()};
    int64_t m_explicitWidth = 0;  // the request's width, or the one a first pass found
    bool m_widthAsked = false;    // the request gave a width
    int64_t m_maxBuckets = kMaxTimelineBuckets;
    // The fine buckets: m_fineCount of m_fineWidth from m_fineStart.
    std::unique_ptr<CTimeBucket[]> m_fine;
    int64_t m_fineWidth = 0;
    int64_t m_fineStart = 0;
    int64_t m_fineCount = 0;
    int64_t m_hit = 0;  // the fine bucket of the keys from m_hitLow to m_hitHigh (exclusive)
    int64_t m_hitLow = 1;
    int64_t m_hitHigh = 0;
    int64_t m_low = 0;  // the range of the keys counted
    int64_t m_high = 0;
    bool m_lowGone = false;  // a row at the range's end was taken out: the range may be narrower
    bool m_highGone = false;
    int64_t m_counted = 0;
    int64_t m_rememberedFrom = 0;  // rows from here to m_counted are in m_last
    int64_t m_firstStamped = -1;   // the row the clock comes from
    CCountedRow m_last[kRemembered];

    // Buckets are aligned on whole widths from here: 0001-01-01 on a dated clock (so that no
    // bucket starts before it), midnight otherwise.
    int64_t m_origin = 0;
    // The shown buckets: m_count of m_width from m_start, merged into m_buckets or, when the
    // widths agree, the fine ones from m_shownFrom on (an index, since the fine array moves).
    int64_t m_width = 0;
    int64_t m_start = 0;
    int64_t m_count = 0;
    int64_t m_maxRows = 0;
    std::unique_ptr<CTimeBucket[]> m_buckets;
    int64_t m_bucketCapacity = 0;
    bool m_shownInFine = false;
    int64_t m_shownFrom = 0;
};

// The automatic width for keys from low to high (see above), in milliseconds.
int64_t AutoBucketWidth(int64_t low, int64_t high);
