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

int64_t BucketsFrom(int64_t origin, int64_t low, int64_t high, int64_t width) {
    return FloorDiv(high - origin, width) - FloorDiv(low - origin, width) + 1;
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
    CStampKeys keys{CStampClock()};
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(request.cancel)) return kScanCancelled;
        for (int64_t i = 0; i < n; ++i) {
            if (!lines[i].timeStamp.HasDate()) continue;
            if (!range->found) {
                range->found = true;
                range->clock = CStampClock(lines[i].timeStamp, WrittenDay(*request.rows));
                keys = CStampKeys(range->clock);
                range->low = range->high = keys.Key(lines[i].timeStamp);
            }
            int64_t key = keys.Key(lines[i].timeStamp);
            range->low = std::min(range->low, key);
            range->high = std::max(range->high, key);
        }
        if (request.listener != nullptr) request.listener->OnProgress(first.Value() + n, 2 * request.rows->Count());
    }
    return 1;
}

// The fine width for a width of the ladder: the largest that divides it and every wider
// width (the day multiples past the ladder take whole days). Each divides the next.
int64_t FineWidthFor(int64_t width) {
    constexpr int64_t kFine[][2] = {{1, 1},         {2, 1},        {5, 5},       {10, 5},      {15, 15},
                                    {30, 30},       {60, 60},      {120, 60},    {300, 300},   {600, 300},
                                    {900, 900},     {1800, 1800},  {3600, 3600}, {7200, 3600}, {10800, 10800},
                                    {21600, 21600}, {43200, 43200}};
    for (const auto& pair : kFine) {
        if (width == pair[0] * kSecond) return pair[1] * kSecond;
    }
    return kMillisecondsPerDay;
}

// Adds one bucket's counts into another (the first row is the earlier one).
void Merge(CTimeBucket* into, const CTimeBucket& from) {
    if (from.rows == 0) return;
    if (into->rows == 0 || from.firstRow < into->firstRow) into->firstRow = from.firstRow;
    into->rows += from.rows;
    into->errors += from.errors;
}

}  // namespace

int64_t AutoBucketWidth(int64_t low, int64_t high) {
    for (int64_t width : kLadder) {
        if (BucketsFrom(0, low, high, width) <= kTimelineBars) return width;
    }
    int64_t days = (high - low) / kMillisecondsPerDay + 2;
    return ((days + kTimelineBars - 1) / kTimelineBars) * kMillisecondsPerDay;
}

void CTimeline::Clear() { *this = CTimeline(); }

int64_t CTimeline::BucketsFor(int64_t low, int64_t high, int64_t width) const {
    return BucketsFrom(m_origin, low, high, width);
}

int64_t CTimeline::AlignDown(int64_t key, int64_t width) const {
    return m_origin + FloorDiv(key - m_origin, width) * width;
}

void CTimeline::HideShown() {
    m_count = 0;
    m_maxRows = 0;
    m_shownInFine = false;
}

int64_t CTimeline::BucketOf(int64_t key) const {
    if (m_count == 0 || key < m_start) return -1;
    int64_t index = (key - m_start) / m_width;
    return index < m_count ? index : -1;
}

int64_t CTimeline::HeldBytes() const {
    return static_cast<int64_t>(sizeof(CTimeBucket)) * (m_fineCount + m_bucketCapacity);
}

int CTimeline::Build(const CTimelineRequest& request) {
    Clear();
    m_explicitWidth = request.widthMs;
    m_widthAsked = request.widthMs > 0;
    m_maxBuckets = std::max(request.maxBuckets, kTimelineBars + 1);
    // The last row's stamp (inherited down the rows) is the other end of the usual range.
    CLogLine last;
    int64_t count = request.rows->Count();
    bool hint = count > 0 && request.rows->Entry(CRow(count - 1), &last) && last.timeStamp.HasDate();
    int result = CountFrom(request, count, hint ? &last.timeStamp : nullptr);
    if (result == kTimelineRecount) return BuildInTwoPasses(request);
    if (result != 1) Clear();
    return result;
}

int CTimeline::CountMore(const CTimelineRequest& request, int64_t n) {
    CTimelineRequest quiet = request;
    quiet.listener = nullptr;
    quiet.cancel = nullptr;
    return CountFrom(quiet, n, nullptr);
}

int CTimeline::CountFrom(const CTimelineRequest& request, int64_t n, const CTimeStamp* hint) {
    int result = CountRows(request, n, hint);
    if (result == 1) result = Show();
    // Counts cut short by a failed step show nothing, rather than buckets of an older count.
    if (result != 1) HideShown();
    return result;
}

int CTimeline::CountRows(const CTimelineRequest& request, int64_t n, const CTimeStamp* hint) {
    int64_t end = std::min(request.rows->Count(), n > INT64_MAX - m_counted ? INT64_MAX : m_counted + n);
    CRowBatches batches(*request.rows, CRow(m_counted), CRow(end));
    if (!batches.IsValid()) return 0;
    CErrorRows errors(request.errors);
    // Only the last rows are remembered: those a follow step may replace.
    int64_t rememberFrom = request.rows->Count() - kRemembered;
    const CLogLine* lines = nullptr;
    int64_t got = 0;
    CRow first;
    while (batches.Next(&lines, &got, &first)) {
        if (IsCancelled(request.cancel)) return kScanCancelled;
        for (int64_t i = 0; i < got; ++i) {
            CCountedRow row;
            row.stamped = lines[i].timeStamp.HasDate();
            if (row.stamped) {
                int started = m_clockSet ? 1 : Start(lines[i].timeStamp, hint, WrittenDay(*request.rows));
                if (started != 1) return started;
                if (m_firstStamped < 0) m_firstStamped = first.Value() + i;
                row.key = m_keys.Key(lines[i].timeStamp);
                row.error = errors.Contains(CLineNumber(lines[i].lineNumber));
                int added = Add(row.key, row.error, first + i);
                if (added != 1) return added;
            }
            if (m_counted >= rememberFrom) {
                m_last[m_counted % kRemembered] = row;
            } else {
                m_rememberedFrom = m_counted + 1;
            }
            ++m_counted;
        }
        if (request.listener != nullptr) request.listener->OnProgress(first.Value() + got, request.rows->Count());
    }
    return 1;
}

int CTimeline::Start(const CTimeStamp& first, const CTimeStamp* hint, int64_t writtenDay) {
    m_clock = CStampClock(first, writtenDay);
    m_keys = CStampKeys(m_clock);
    m_clockSet = true;
    m_origin = m_clock.Earliest();
    // The clock's own keys, which count no day for a time alone: the row keys come in order.
    int64_t firstKey = m_clock.Key(first);
    int64_t low = firstKey;
    int64_t high = low;
    if (hint != nullptr) {
        int64_t other = m_clock.Key(*hint);
        low = std::min(low, other);
        high = std::max(high, other);
    }
    m_fineWidth = m_explicitWidth > 0 ? m_explicitWidth : FineWidthFor(AutoBucketWidth(low, high));
    m_low = m_high = firstKey;
    return Cover(low, high);
}

int CTimeline::Add(int64_t key, bool error, CRow row) {
    // Rows in a row nearly always share a bucket: no division for them.
    if (key < m_hitLow || key >= m_hitHigh) {
        if (m_fine == nullptr || key < m_fineStart || key >= m_fineStart + m_fineCount * m_fineWidth) {
            int covered = Cover(std::min(key, m_low), std::max(key, m_high));
            if (covered != 1) return covered;
        }
        m_hit = (key - m_fineStart) / m_fineWidth;
        m_hitLow = m_fineStart + m_hit * m_fineWidth;
        m_hitHigh = m_hitLow + m_fineWidth;
    }
    CTimeBucket& bucket = m_fine[m_hit];
    if (bucket.rows++ == 0) bucket.firstRow = row;
    if (error) ++bucket.errors;
    // A row at an end of the range that was taken out is back, or the range is wider now.
    if (key <= m_low) {
        m_low = key;
        m_lowGone = false;
    }
    if (key >= m_high) {
        m_high = key;
        m_highGone = false;
    }
    return 1;
}

int CTimeline::Cover(int64_t low, int64_t high) {
    int64_t width = m_fineWidth;
    int64_t need = BucketsFor(low, high, width);
    // Too many fine buckets: the width the range needs now, which the old width divides.
    if (m_explicitWidth == 0 && need > kMaxTimelineBuckets / 2) {
        width = std::max(width, FineWidthFor(AutoBucketWidth(low, high)));
        need = BucketsFor(low, high, width);
    }
    if (need > (m_explicitWidth > 0 ? m_maxBuckets : kMaxTimelineBuckets)) {
        return m_widthAsked ? kTimelineTooManyBuckets : kTimelineRecount;
    }
    // Room to grow on, so that a followed log does not move its buckets at every step.
    int64_t limit = m_explicitWidth > 0 ? m_maxBuckets : kMaxTimelineBuckets / 2;
    int64_t room = std::min(std::max<int64_t>(need / 4, 16), std::max<int64_t>(limit - need, 0));
    int64_t start = AlignDown(low, width) - (m_fine != nullptr && low < m_low ? room : 0) * width;
    int64_t count = need + room;
    std::unique_ptr<CTimeBucket[]> fine(new (std::nothrow) CTimeBucket[count]);
    if (fine == nullptr) return 0;
    for (int64_t i = 0; i < m_fineCount; ++i) {
        if (m_fine[i].rows > 0) Merge(&fine[(m_fineStart + i * m_fineWidth - start) / width], m_fine[i]);
    }
    m_fine = std::move(fine);
    if (m_shownInFine) HideShown();
    m_hitLow = 1;  // no bucket
    m_hitHigh = 0;
    m_fineWidth = width;
    m_fineStart = start;
    m_fineCount = count;
    return 1;
}

bool CTimeline::Uncount(CRow row) {
    int64_t from = std::max<int64_t>(row.Value(), 0);
    if (from >= m_counted) return true;
    if (m_counted - from > kRemembered || from < m_rememberedFrom || from <= m_firstStamped) return false;
    for (; m_counted > from; --m_counted) {
        const CCountedRow& gone = m_last[(m_counted - 1) % kRemembered];
        if (!gone.stamped) continue;
        CTimeBucket& bucket = m_fine[(gone.key - m_fineStart) / m_fineWidth];
        --bucket.rows;
        if (gone.error) --bucket.errors;
        if (bucket.rows == 0) bucket.firstRow = CRow(-1);
        if (gone.key == m_low) m_lowGone = true;
        if (gone.key == m_high) m_highGone = true;
    }
    return true;
}

int CTimeline::Show() {
    if (!m_clockSet) return 1;
    // The range's end went with a replaced row and no row came back to it: it is unknown.
    if (m_lowGone || m_highGone) return kTimelineRecount;
    int64_t automatic = m_widthAsked ? 0 : AutoBucketWidth(m_low, m_high);
    int64_t width = m_widthAsked ? m_explicitWidth : automatic;
    // A width found by a first pass holds only while the range still asks for it.
    if (m_explicitWidth > 0 && !m_widthAsked && m_explicitWidth != automatic) return kTimelineRecount;
    if (width % m_fineWidth != 0) return kTimelineRecount;
    int64_t start = AlignDown(m_low, width);
    int64_t count = BucketsFor(m_low, m_high, width);
    m_shownInFine = width == m_fineWidth;
    if (m_shownInFine) {
        m_shownFrom = (start - m_fineStart) / width;
    } else {
        if (count > m_bucketCapacity) {
            m_buckets.reset(new (std::nothrow) CTimeBucket[count]);
            m_bucketCapacity = m_buckets != nullptr ? count : 0;
            if (m_buckets == nullptr) return 0;
        }
        std::fill(m_buckets.get(), m_buckets.get() + count, CTimeBucket());
        int64_t firstFine = (start - m_fineStart) / m_fineWidth;
        int64_t endFine = std::min(m_fineCount, firstFine + count * (width / m_fineWidth));
        for (int64_t i = std::max<int64_t>(firstFine, 0); i < endFine; ++i) {
            Merge(&m_buckets[(m_fineStart + i * m_fineWidth - start) / width], m_fine[i]);
        }
    }
    m_width = width;
    m_start = start;
    m_count = count;
    m_maxRows = 0;
    for (int64_t i = 0; i < count; ++i) m_maxRows = std::max(m_maxRows, Bucket(i).rows);
    return 1;
}

// The counts at the width the whole range needs, found by a first pass: for a range too
// wide for the fine buckets (more than a century of days).
int CTimeline::BuildInTwoPasses(const CTimelineRequest& request) {
    Clear();
    CRange range;
    int result = FindRange(request, &range);
    if (result != 1 || !range.found) return result;
    CTimelineRequest again = request;
    again.widthMs = request.widthMs > 0 ? request.widthMs : AutoBucketWidth(range.low, range.high);
    m_origin = range.clock.Earliest();
    again.maxBuckets = std::max(request.maxBuckets, BucketsFor(range.low, range.high, again.widthMs));
    m_explicitWidth = again.widthMs;
    m_widthAsked = request.widthMs > 0;
    m_maxBuckets = again.maxBuckets;
    result = CountFrom(again, request.rows->Count(), nullptr);
    if (result != 1) Clear();
    return result;
}
