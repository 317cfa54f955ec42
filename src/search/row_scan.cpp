// The scans over rows of several logs. The rows of a merged view interleave their logs, so
// each log keeps a window of its own (its rows still come in its file's order) and the
// matcher of its code page. An extraction finds its hits first and then reads the rows it
// appends in one walk, as a source that makes its entries (the merged clock) is slow to
// start a read anywhere.
#include "search/row_scan.h"

#include <algorithm>
#include <cstring>

#include "foundation/buffer.h"
#include "search/row_batches.h"
#include "search/row_matcher.h"

namespace {

constexpr int64_t kReportRows = 4096;

void Report(const CScanOptions& options, int64_t done, int64_t total) {
    if (options.listener != nullptr && total > 0)
        options.listener->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
}

const CRowSource& BytesOf(const CRowSource& rows, const CRowLogs& logs) {
    return logs.BytesRows() != nullptr ? *logs.BytesRows() : rows;
}

// The rows that match, in order: 1, 0 when memory ran out, or kScanCancelled.
int FindHits(const CRowSource& rows, const CRowLogs& logs, CRowMatcher* matcher, const CScanOptions& options,
             CGrowBuffer<int64_t>* hits, int64_t* hitCount) {
    int64_t total = rows.Count();
    CRowBatches batches(BytesOf(rows, logs), CRow(0), CRow(total));
    if (!batches.IsValid()) return 0;
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (batches.Next(&lines, &n, &first)) {
        if (IsCancelled(options.cancel)) return kScanCancelled;
        Report(options, first.Value(), total);
        for (int64_t i = 0; i < n; ++i) {
            int matched = matcher->Matches(logs.LogOf(first + i, lines[i]), lines[i]);
            if (matched < 0) return 0;
            if (matched == 0) continue;
            if (!hits->Grow(static_cast<size_t>(*hitCount + 1))) return 0;
            hits->Data()[(*hitCount)++] = first.Value() + i;
        }
    }
    return IsCancelled(options.cancel) ? kScanCancelled : 1;
}

// The entries of a rising run of row ranges, read in one walk: what lies below the range
// asked last is let go.
class CSlidingRows {
public:
    explicit CSlidingRows(const CRowSource& rows) : m_rows(rows) {}
    // The entries of rows [low, high) (within the rows; low never below an earlier low); null
    // when memory ran out or the rows could not be read.
    const CLogLine* Range(int64_t low, int64_t high) {
        if (low > m_first) {
            int64_t drop = std::min(low - m_first, m_count);
            if (drop < m_count)
                std::memmove(m_buffer.Data(), m_buffer.Data() + drop,
                             static_cast<size_t>(m_count - drop) * sizeof(CLogLine));
            m_count -= drop;
            m_first += drop;
            if (m_count == 0) m_first = low;
        }
        while (m_first + m_count < high) {
            int64_t want = std::max<int64_t>(high - m_first - m_count, CRowBatches::kBatchRows);
            if (!m_buffer.Grow(static_cast<size_t>(m_count + want))) return nullptr;
            int64_t got = m_rows.ReadRows(CRow(m_first + m_count), want, m_buffer.Data() + m_count);
            if (got <= 0) return nullptr;
            m_count += got;
        }
        return m_buffer.Data() + (low - m_first);
    }

private:
    const CRowSource& m_rows;
    CGrowBuffer<CLogLine> m_buffer;
    int64_t m_first = 0;
    int64_t m_count = 0;
};

}  // namespace

int64_t SearchLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, int64_t start,
                      CSearchDirection direction, const CSearchCondition& condition, const CScanOptions& options) {
    if (logs.Scans() != nullptr) return logs.Scans()->Search(readers, start, direction, condition, options);
    bool backward = direction == CSearchDirection::kPrevious;
    int64_t count = rows.Count();
    if (condition.Count() == 0 || count == 0 || (backward && start < 0)) return -1;
    int64_t from = backward ? std::min(start, count - 1) : std::max<int64_t>(start, 0);
    if (from >= count) return -1;
    CRowBatches batches(BytesOf(rows, logs), backward ? CRow(0) : CRow(from), backward ? CRow(from + 1) : CRow(count),
                        backward);
    CRowMatcher matcher(condition, readers, options.hideEscapes);
    int64_t positions = backward ? from + 1 : count - from;
    int64_t done = 0;
    bool failed = false;
    int64_t found = batches.Find(options.cancel, [&](const CLogLine& line, int64_t row) {
        if (done++ % kReportRows == 0) Report(options, done - 1, positions);
        int matched = matcher.Matches(logs.LogOf(CRow(row), line), line, backward);
        failed = matched < 0;
        return matched != 0;
    });
    return failed ? -1 : found;
}

int ExtractLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers,
                   const CSearchCondition& condition, int32_t before, int32_t after, CLogLineList* result,
                   const CScanOptions& options) {
    if (condition.Count() == 0) return 1;
    if (logs.Scans() != nullptr) return logs.Scans()->Extract(readers, condition, before, after, result, options);
    CRowMatcher matcher(condition, readers, options.hideEscapes);
    CGrowBuffer<int64_t> hits;
    int64_t hitCount = 0;
    int found = FindHits(rows, logs, &matcher, options, &hits, &hitCount);
    if (found != 1) return found;
    int64_t count = rows.Count();
    int64_t up = before > 0 ? before : 0;
    int64_t down = after > 0 ? after : 0;
    int64_t limit = options.maxRows > 0 ? options.maxRows : std::max(kExtractRowLimit, count);
    int64_t total = 0;
    for (int64_t k = 0; k < hitCount; ++k) {
        int64_t h = hits.Data()[k];
        total += std::min(h + down, count - 1) - std::max(h - up, int64_t{0}) + 1;
        if (total > limit) return kExtractTooLarge;
    }
    int64_t original = result->Count();
    CSlidingRows sliding(rows);
    for (int64_t k = 0; k < hitCount; ++k) {
        int64_t h = hits.Data()[k];
        int64_t low = std::max(h - up, int64_t{0});
        int64_t high = std::min(h + down, count - 1) + 1;
        const CLogLine* lines = sliding.Range(low, high);
        bool ok = lines != nullptr && !IsCancelled(options.cancel);
        for (int64_t i = 0; ok && i < high - low; ++i) ok = result->Append(lines[i]) != 0;
        if (!ok) {
            result->Truncate(original);
            return IsCancelled(options.cancel) ? kScanCancelled : 0;
        }
    }
    result->ShrinkToFit();
    Report(options, count, count);
    return 1;
}
