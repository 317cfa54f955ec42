// Bucketing rows by the time of their stamps.
#include "search/timeline.h"

#include <algorithm>
#include <new>

#include "search/error_rows.h"
#include "search/line_scan.h"
#include "search/row_batches.h"

namespace {

constexpr int64_t kSecond = 1000;
constexpr int64_t kLadder[] = {1 * kSecond,     2 * kSecond,     5 * kSecond,        10 * kSecond,   15 * kSecond,
                               30 * kSecond,    60 * kSecond,    120 * kSecond,      300 * kSecond,  600 * kSecond,
                               900 * kSecond,   1800 * kSecond,  3600 * kSecond,     7200 * kSecond, 10800 * kSecond,
                               21600 * kSecond, 43200 * kSecond, kMillisecondsPerDay};

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

int64_t BucketsFor(int64_t low, int64_t high, int64_t width) {
    return FloorDiv(high, width) - FloorDiv(low, width) + 1;
}

// The first pass: the clock of the first stamp and the range of the keys.
struct CRange {
    bool found = false;
    CStampClock clock;
    int64_t low = 0;
    int64_t high = 0;
};

int FindRange(const CTimelineRequest& request, CRange* range) {
    CRowBatches batches(*request.rows, CRow(0), CRow(request.rows->Count()));
    if (!batches.IsValid()) return 0;
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(request.cancel)) return kScanCancelled;
        for (int64_t i = 0; i < n; ++i) {
            if (!lines[i].timeStamp.HasDate()) continue;
            if (!range->found) {
                range->found = true;
                range->clock = CStampClock(lines[i].timeStamp);
                range->low = range->high = range->clock.Key(lines[i].timeStamp);
            }
            int64_t key = range->clock.Key(lines[i].timeStamp);
            range->low = std::min(range->low, key);
            range->high = std::max(range->high, key);
        }
        if (request.listener != nullptr) request.listener->OnProgress(first.Value() + n, 2 * request.rows->Count());
    }
    return 1;
}

}  // namespace

int64_t AutoBucketWidth(int64_t low, int64_t high) {
    for (int64_t width : kLadder) {
        if (BucketsFor(low, high, width) <= kTimelineBars) return width;
    }
    int64_t days = (high - low) / kMillisecondsPerDay + 2;
    return ((days + kTimelineBars - 1) / kTimelineBars) * kMillisecondsPerDay;
}

void CTimeline::Clear() {
    m_clock = CStampClock();
    m_width = m_start = m_count = m_maxRows = 0;
    m_buckets.reset();
}

int64_t CTimeline::BucketOf(int64_t key) const {
    if (m_count == 0 || key < m_start) return -1;
    int64_t index = (key - m_start) / m_width;
    return index < m_count ? index : -1;
}

int CTimeline::Build(const CTimelineRequest& request) {
    Clear();
    CRange range;
    int result = FindRange(request, &range);
    if (result != 1 || !range.found) return result;
    int64_t width = request.widthMs > 0 ? request.widthMs : AutoBucketWidth(range.low, range.high);
    int64_t count = BucketsFor(range.low, range.high, width);
    if (count > std::max(request.maxBuckets, kTimelineBars + 1)) return kTimelineTooManyBuckets;
    std::unique_ptr<CTimeBucket[]> buckets(new (std::nothrow) CTimeBucket[count]);
    CRowBatches batches(*request.rows, CRow(0), CRow(request.rows->Count()));
    if (buckets == nullptr || !batches.IsValid()) return 0;
    int64_t start = FloorDiv(range.low, width) * width;
    CErrorRows errors(request.errors);
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(request.cancel)) return kScanCancelled;
        for (int64_t i = 0; i < n; ++i) {
            if (!lines[i].timeStamp.HasDate()) continue;
            CTimeBucket& bucket = buckets[(range.clock.Key(lines[i].timeStamp) - start) / width];
            if (bucket.rows++ == 0) bucket.firstRow = first + i;
            if (errors.Contains(CLineNumber(lines[i].lineNumber))) ++bucket.errors;
        }
        if (request.listener != nullptr) {
            request.listener->OnProgress(request.rows->Count() + first.Value() + n, 2 * request.rows->Count());
        }
    }
    m_clock = range.clock;
    m_width = width;
    m_start = start;
    m_count = count;
    m_buckets = std::move(buckets);
    for (int64_t i = 0; i < count; ++i) m_maxRows = std::max(m_maxRows, m_buckets[i].rows);
    return 1;
}
