// The overview's tick scan. Chunks double in size (pairs folded together) when the rows
// outgrow them, which keeps the flags exact for any chunk and the memory fixed.
#include "search/overview_ticks.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr int64_t kReadRows = 512;

// The first position of errors whose line number is at least lineNumber (Count() if none).
int64_t LowerBound(const CLogLineList& errors, int64_t lineNumber) {
    int64_t lo = 0;
    int64_t hi = errors.Count();
    while (lo < hi) {
        int64_t mid = lo + (hi - lo) / 2;
        CLogLine line;
        errors.Get(mid, &line);
        if (line.lineNumber < lineNumber) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

// The first bucket of count over rowCount rows whose rows include row, and the last.
void BucketsOfRow(int64_t row, int64_t rowCount, int count, int64_t* first, int64_t* last) {
    int64_t lo = (row * count + rowCount - 1) / rowCount;
    int64_t hi = ((row + 1) * count - 1) / rowCount;
    *first = lo < hi ? lo : hi;
    *last = hi;
}

}  // namespace

void COverviewTicks::Reset() { RescanFrom(0); }

void COverviewTicks::RescanFrom(int64_t row) {
    m_window = nullptr;
    if (row < 0) row = 0;
    if (row < m_scanned) m_scanned = row;
    // Rows of a chunk are scanned again whole: its flags may come from rows now gone.
    int64_t chunk = m_scanned >> m_shift;
    if (chunk < kOverviewChunks) std::memset(m_chunks + chunk, 0, static_cast<size_t>(kOverviewChunks - chunk));
    m_scanned = chunk << m_shift;
    if (m_scanned == 0) {
        m_shift = 0;
        m_reference = CTimeStamp();
    }
    m_referenceKnown = false;
}

void COverviewTicks::Mark(int64_t row, uint8_t flags) {
    while ((row >> m_shift) >= kOverviewChunks) {
        for (int64_t i = 0; i < kOverviewChunks / 2; ++i) m_chunks[i] = m_chunks[2 * i] | m_chunks[2 * i + 1];
        std::memset(m_chunks + kOverviewChunks / 2, 0, kOverviewChunks / 2);
        ++m_shift;
    }
    m_chunks[row >> m_shift] |= flags;
}

int64_t COverviewTicks::Scan(const COverviewInputs& in, int64_t n) {
    if (in.rows == nullptr) return 0;
    int64_t total = in.rows->Count();
    if (m_scanned >= total || n <= 0) return 0;
    if (!m_referenceKnown) {
        // As the view's cells do: the row above, or the first row itself at the top.
        CLogLine above;
        m_reference = in.rows->Entry(CRow(m_scanned > 0 ? m_scanned - 1 : 0), &above) ? above.timeStamp : CTimeStamp();
        m_referenceKnown = true;
    }
    CLogLine lines[kReadRows];
    int64_t done = 0;
    CErrorCursor errorAt;
    while (done < n && m_scanned < total) {
        int64_t want = n - done < kReadRows ? n - done : kReadRows;
        int64_t got = in.rows->ReadRows(CRow(m_scanned), want, lines);
        if (got <= 0) break;
        for (int64_t i = 0; i < got; ++i) {
            const CLogLine& line = lines[i];
            uint8_t flags = 0;
            if (in.errorLines != nullptr) {
                if (IsError(*in.errorLines, line.lineNumber, &errorAt)) flags |= kTickError;
            }
            if (in.intervalCheck && IsSlow(line.timeStamp, in.thresholdMs)) flags |= kTickSlow;
            if (in.matcher != nullptr && IsHit(in, CRow(m_scanned + i), line)) flags |= kTickHit;
            if (in.rowMatcher != nullptr && in.logs != nullptr &&
                in.rowMatcher->Matches(in.logs->LogOf(CRow(m_scanned + i), line), line) == 1)
                flags |= kTickHit;
            Mark(m_scanned + i, flags);
        }
        m_scanned += got;
        done += got;
    }
    if (m_scanned >= total) m_window = nullptr;
    return done;
}

bool COverviewTicks::IsError(const CLogLineList& errors, int64_t lineNumber, CErrorCursor* at) {
    CLogLine e;
    // Rows come in line order; the first row and a row that goes back look the list up again.
    if (at->reader == nullptr || lineNumber < at->asked) {
        at->reader.reset(new (std::nothrow) CLogLineReader(errors, LowerBound(errors, lineNumber)));
        if (at->reader == nullptr) return false;
        at->line = at->reader->Next(&e) ? e.lineNumber : INT64_MAX;
    }
    at->asked = lineNumber;
    while (at->line < lineNumber) at->line = at->reader->Next(&e) ? e.lineNumber : INT64_MAX;
    return at->line == lineNumber;
}

bool COverviewTicks::IsSlow(const CTimeStamp& stamp, int32_t thresholdMs) {
    // The interval of the view's cells: undated rows have none and leave the reference.
    if (!stamp.HasDate()) return false;
    int32_t interval = stamp.milliseconds >= m_reference.milliseconds
                           ? static_cast<int32_t>(stamp.milliseconds - m_reference.milliseconds)
                           : kIntervalWrapped;
    m_reference = stamp;
    return IntervalReachesThreshold(true, interval, thresholdMs);
}

bool COverviewTicks::IsHit(const COverviewInputs& in, CRow row, const CLogLine& line) {
    CLogFile* file = in.rows->FileOf(row);
    if (file == nullptr || line.length <= 0) return false;
    if (m_window == nullptr || m_windowFile != file) {
        m_window.reset(new (std::nothrow) CLineWindow(file));
        m_windowFile = file;
        if (m_window == nullptr) return false;
    }
    uint32_t got = 0;
    const char* bytes = m_window->Get(line.offset, static_cast<uint32_t>(line.length), false, &got);
    return bytes != nullptr && got > 0 &&
           in.matcher->Matches(bytes, got, in.matcher->HidesEscapes() && m_window->NoEscapeByte()) != 0;
}

uint8_t COverviewTicks::FlagsOf(int64_t first, int64_t end) const {
    if (end > m_scanned) end = m_scanned;
    if (first < 0) first = 0;
    uint8_t flags = 0;
    if (first >= end) return 0;
    for (int64_t c = first >> m_shift; c <= (end - 1) >> m_shift; ++c) flags |= m_chunks[c];
    return flags;
}

void COverviewTicks::Buckets(int64_t rowCount, const CMarkerList* markers, int count, uint8_t* out) const {
    if (count <= 0) return;
    std::memset(out, 0, static_cast<size_t>(count));
    if (rowCount <= 0) return;
    for (int b = 0; b < count; ++b) {
        int64_t first = b * rowCount / count;
        int64_t end = (b + 1) * rowCount / count;
        out[b] = FlagsOf(first, end > first ? end : first + 1);
    }
    for (int32_t i = 0; markers != nullptr && i < markers->Count(); ++i) {
        int64_t row = markers->At(i)->row.Value();
        if (row < 0 || row >= rowCount) continue;
        int64_t lo = 0;
        int64_t hi = 0;
        BucketsOfRow(row, rowCount, count, &lo, &hi);
        for (int64_t b = lo; b <= hi; ++b) out[b] |= kTickMarker;
    }
}
