// The merged view's scans: the one-log scans on each index, their hits mapped to merged rows.
// A search takes stretches of merged rows, each log's part of a stretch being a range of its
// own rows; an extraction takes each log whole, then reads each hit from its log's row, or,
// with context, the hits' rows and their neighbours in one forward walk of the merged order.
#include "merge/merged_scan.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "document/helper_thread.h"
#include "foundation/buffer.h"
#include "merge/merged_picks.h"
#include "merge/merged_time_rows.h"
#include "search/row_batches.h"

namespace {

constexpr int64_t kLastStretch = int64_t{1} << 26;

// A one-log scan's progress as the part [base, base + span) of the whole.
class CPartListener : public CProgressListener {
public:
    CPartListener(CProgressListener* all, int64_t base, int64_t span, int64_t total)
        : m_all(all), m_base(base), m_span(span), m_total(total) {}
    void OnProgress(uint64_t position, uint64_t total) override {
        if (m_all == nullptr || total == 0) return;
        auto part = static_cast<int64_t>(static_cast<double>(position) / static_cast<double>(total) *
                                         static_cast<double>(m_span));
        m_all->OnProgress(static_cast<uint64_t>(m_base + std::min(part, m_span)), static_cast<uint64_t>(m_total));
    }

private:
    CProgressListener* m_all;
    int64_t m_base;
    int64_t m_span;
    int64_t m_total;
};

// The first (backward: last) match among merged rows [low, high): each log's rows there
// searched on their own. done, total: the progress before the stretch, of all.
int64_t SearchStretch(const CMergedRows& rows, const CLogReaders& readers, int64_t low, int64_t high, bool backward,
                      const CSearchCondition& condition, const CScanOptions& options, int64_t done, int64_t total) {
    int64_t below[kMaxMergedLogs];
    int64_t above[kMaxMergedLogs];
    rows.RowsBefore(CRow(low), below);
    rows.RowsBefore(CRow(high), above);
    int64_t best = -1;
    for (int log = 0; log < rows.LogCount(); ++log) {
        int64_t span = above[log] - below[log];
        if (span <= 0) continue;
        CPartListener part(options.listener, done, span, total);
        CScanOptions own = options;
        own.listener = &part;
        int64_t hit = SearchRange(readers.File(log), *rows.Log(log).index, below[log], above[log],
                                  backward ? CSearchDirection::kPrevious : CSearchDirection::kNext, condition,
                                  readers.CodePage(log), own);
        done += span;
        if (hit == kScanCancelled) return kScanCancelled;
        if (hit < 0) continue;
        int64_t row = rows.RowOf(log, CRow(hit));
        if (row >= 0 && (best < 0 || (backward ? row > best : row < best))) best = row;
    }
    return best;
}

// Whether the work on items after the scans goes in part to a helper thread, as the scans'
// own work does (CScanOptions::threads; tests force it with twoCoreBytes 0).
bool UseHelper(const CScanOptions& options, int64_t items) {
    constexpr int64_t kHelpedItems = 16384;
    if (options.threads == 1 || items < (options.twoCoreBytes == 0 ? 2 : kHelpedItems)) return false;
    return options.threads == 2 || CHelperThread::ProcessorCount() >= 2;
}

// Every log scanned on its own, its hits into found[log] (a list of references to its index):
// 1, or as ExtractLines fails.
int ScanLogs(const CMergedRows& rows, const CLogReaders& readers, const CSearchCondition& condition,
             const CScanOptions& options, int64_t limit, CLogLineList* found) {
    int64_t done = 0;
    int64_t total = 0;
    for (int log = 0; log < rows.LogCount(); ++log) {
        const std::shared_ptr<const CLogLineList>& index = rows.Log(log).index;
        int64_t count = index->Count();
        // A list of references: a hit costs 4 bytes, and its row is the index's.
        found[log].ReferTo(index);
        if (count == 0) continue;
        CPartListener part(options.listener, done, count, rows.Count());
        CScanOptions own = options;
        own.listener = &part;
        own.maxRows = limit;  // a log with more hits than that makes too many rows anyway
        int status = ExtractLines(readers.File(log), *index, condition, readers.CodePage(log), 0, 0, &found[log], own);
        done += count;
        if (status != 1) return status;
        total += found[log].Count();
        if (total > limit) return kExtractTooLarge;
    }
    return 1;
}

// The entries of a rising run of row ranges: what lies below the range asked last is let go,
// and only the rows not read yet are read, so that the cursor only moves forward.
class CSlidingEntries {
public:
    explicit CSlidingEntries(const CMergedRows& rows) : m_cursor(rows) {}
    // The entries of rows [low, high); null when memory ran out or the rows could not be read.
    const CLogLine* Range(int64_t low, int64_t high) {
        if (low >= m_first + m_count) {
            m_first = low;
            m_count = 0;
        } else if (low > m_first) {
            int64_t drop = low - m_first;
            std::memmove(m_buffer.Data(), m_buffer.Data() + drop,
                         static_cast<size_t>(m_count - drop) * sizeof(CLogLine));
            m_count -= drop;
            m_first = low;
        }
        int64_t want = high - m_first - m_count;
        if (want > 0) {
            if (!m_buffer.Grow(static_cast<size_t>(m_count + want))) return nullptr;
            if (m_cursor.Read(m_first + m_count, want, m_buffer.Data() + m_count) != want) return nullptr;
            m_count += want;
        }
        return m_buffer.Data();
    }

private:
    CMergedTimeCursor m_cursor;
    CGrowBuffer<CLogLine> m_buffer;
    int64_t m_first = 0;
    int64_t m_count = 0;
};

// The hits among merged rows [low, high) read from their logs' rows into a run of its own
// (CLogLineList::StartRun), which the result joins: the two halves of many hits are mapped
// and read on both cores.
struct CHitRun {
    const CMergedRows* rows = nullptr;
    const CLogLineList* found = nullptr;
    int64_t low = 0;
    int64_t high = 0;
    const std::atomic<int>* cancel = nullptr;
    CLogLineList run;
    int status = 0;  // 1, 0 (memory ran out) or kScanCancelled

    void Read() {
        CMergedPickWalk hits(*rows, found, low, high);
        CMergedTimeCursor cursor(*rows);
        CMergedPick hit;
        CLogLine entry;
        run.CodeNextStampWhole();
        for (int64_t k = 0;; ++k) {
            if (k % 4096 == 0 && IsCancelled(cancel)) {
                status = kScanCancelled;
                return;
            }
            if (!hits.Next(&hit)) {
                status = 1;
                return;
            }
            if (!cursor.ReadAt(hit.log, hit.logRow, hit.row, &entry) || !run.Append(entry)) return;
        }
    }
    static void Entry(void* self) { static_cast<CHitRun*>(self)->Read(); }
};

// The least merged row with at least half of the n hits before it.
int64_t HalfwayRow(const CMergedRows& rows, const CLogLineList* found, int64_t n) {
    int64_t low = 0;
    int64_t high = rows.Count();
    while (low < high) {
        int64_t mid = low + (high - low) / 2;
        if (PicksBefore(rows, found, mid) < n / 2) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

// The n hits alone, each read from its log's row: no walk over the merged order. 1, 0 when
// memory ran out, or kScanCancelled (result then as it was).
int AppendHits(const CMergedRows& rows, const CLogLineList* found, int64_t n, CLogLineList* result,
               const CScanOptions& options) {
    int64_t original = result->Count();
    int64_t count = rows.Count();
    int64_t split = UseHelper(options, n) ? HalfwayRow(rows, found, n) : count;
    CHitRun parts[2];
    for (int k = 0; k < 2; ++k) {
        parts[k].rows = &rows;
        parts[k].found = found;
        parts[k].low = k == 0 ? 0 : split;
        parts[k].high = k == 0 ? split : count;
        parts[k].cancel = options.cancel;
    }
    parts[0].run.StartRun(original);
    parts[1].run.StartRun(original + PicksBefore(rows, found, split));
    {
        CHelperThread thread;
        bool helped = split < count && thread.Start(CHitRun::Entry, &parts[1]);
        parts[0].Read();
        if (!helped) parts[1].Read();
    }  // joins the helper
    for (CHitRun& part : parts) {
        if (part.status == 1 && (part.run.Count() == 0 || result->JoinRun(&part.run, 0, CTimeStamp()))) continue;
        result->Truncate(original);
        return part.status == kScanCancelled ? kScanCancelled : 0;
    }
    result->ShrinkToFit();
    if (options.listener != nullptr && count > 0)
        options.listener->OnProgress(static_cast<uint64_t>(count), static_cast<uint64_t>(count));
    return 1;
}

}  // namespace

int64_t SearchMergedView(const CMergedRows& rows, const CLogReaders& readers, int64_t start, CSearchDirection direction,
                         const CSearchCondition& condition, const CScanOptions& options, int64_t firstStretch) {
    bool backward = direction == CSearchDirection::kPrevious;
    int64_t count = rows.Count();
    if (condition.Count() == 0 || count == 0 || (backward && start < 0)) return -1;
    if (readers.Count() < rows.LogCount()) return -1;
    int64_t from = backward ? std::min(start, count - 1) : std::max<int64_t>(start, 0);
    if (from >= count) return -1;
    int64_t positions = backward ? from + 1 : count - from;
    int64_t stretch = firstStretch > 0 ? firstStretch : kFirstMergedStretch;
    for (int64_t done = 0; done < positions;) {
        if (IsCancelled(options.cancel)) return kScanCancelled;
        int64_t span = std::min(stretch, positions - done);
        int64_t low = backward ? from + 1 - done - span : from + done;
        int64_t found = SearchStretch(rows, readers, low, low + span, backward, condition, options, done, positions);
        if (found != -1) return found;
        done += span;
        stretch = std::min(stretch * 4, kLastStretch);
    }
    return -1;
}

int ExtractMergedView(const CMergedRows& rows, const CLogReaders& readers, const CSearchCondition& condition,
                      int32_t before, int32_t after, CLogLineList* result, const CScanOptions& options) {
    if (condition.Count() == 0) return 1;
    if (readers.Count() < rows.LogCount()) return 0;
    int64_t count = rows.Count();
    int64_t limit = options.maxRows > 0 ? options.maxRows : std::max(kExtractRowLimit, count);
    std::unique_ptr<CLogLineList[]> found(new (std::nothrow) CLogLineList[static_cast<size_t>(rows.LogCount())]);
    if (found == nullptr) return 0;
    int scanned = ScanLogs(rows, readers, condition, options, limit, found.get());
    if (scanned != 1) return scanned;
    int64_t up = before > 0 ? before : 0;
    int64_t down = after > 0 ? after : 0;
    if (up == 0 && down == 0) {
        int64_t n = PicksBefore(rows, found.get(), count);
        return n > limit ? kExtractTooLarge : AppendHits(rows, found.get(), n, result, options);
    }
    CMergedPick hit;
    int64_t total = 0;
    CMergedPickWalk counted(rows, found.get(), 0, count);
    while (counted.Next(&hit)) {
        total += std::min(hit.row + down, count - 1) - std::max(hit.row - up, int64_t{0}) + 1;
        if (total > limit) return kExtractTooLarge;
    }
    CMergedPickWalk hits(rows, found.get(), 0, count);
    int64_t original = result->Count();
    CSlidingEntries entries(rows);
    while (hits.Next(&hit)) {
        int64_t low = std::max(hit.row - up, int64_t{0});
        int64_t high = std::min(hit.row + down, count - 1) + 1;
        const CLogLine* lines = IsCancelled(options.cancel) ? nullptr : entries.Range(low, high);
        bool ok = lines != nullptr;
        for (int64_t i = 0; ok && i < high - low; ++i) ok = result->Append(lines[i]) != 0;
        if (!ok) {
            result->Truncate(original);
            return IsCancelled(options.cancel) ? kScanCancelled : 0;
        }
    }
    result->ShrinkToFit();
    if (options.listener != nullptr && count > 0)
        options.listener->OnProgress(static_cast<uint64_t>(count), static_cast<uint64_t>(count));
    return 1;
}
