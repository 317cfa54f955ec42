// Each log's rows are mapped to merged rows in one forward pass over the merged order's
// blocks (CMergedRows::RowsOf) and merged with the other logs' runs; a walk merges the logs'
// chunks as it goes.
#include "merge/merged_picks.h"

#include <algorithm>
#include <new>

namespace {

// The index of the first reference of list to a row at least row: a halving.
int64_t FirstReferenceFrom(const CLogLineList& list, int64_t row) {
    int64_t low = 0;
    int64_t high = list.Count();
    while (low < high) {
        int64_t mid = low + (high - low) / 2;
        if (list.ReferredRow(mid) < row) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

}  // namespace

int CMergedPicks::AddLog(const CMergedRows& rows, int log, const int64_t* logRows, int64_t n) {
    if (n <= 0) return 1;
    CGrowBuffer<int64_t> merged;
    if (!merged.Grow(static_cast<size_t>(n)) || !m_picks.Grow(static_cast<size_t>(m_count + n))) return 0;
    const int64_t* mergedRows = merged.Data();
    rows.RowsOf(log, logRows, n, merged.Data());
    int64_t before = m_count;
    CMergedPick* picks = m_picks.Data();
    for (int64_t k = 0; k < n; ++k) {
        if (mergedRows[k] < 0) continue;
        picks[m_count++] = CMergedPick{mergedRows[k], logRows[k], log};
    }
    // Without room for the merge's buffer it merges in place, more slowly: never a failure.
    std::inplace_merge(picks, picks + before, picks + m_count,
                       [](const CMergedPick& a, const CMergedPick& b) { return a.row < b.row; });
    return 1;
}

CMergedPickWalk::CMergedPickWalk(const CMergedRows& rows, const CLogLineList* lists, int64_t low, int64_t high)
    : m_rows(rows), m_lists(lists) {
    int logs = rows.LogCount();
    m_logs.reset(new (std::nothrow) CLogPicks[static_cast<size_t>(logs)]);
    if (m_logs == nullptr) return;
    low = std::min(std::max<int64_t>(low, 0), rows.Count());
    high = std::max(std::min(high, rows.Count()), low);
    int64_t below[kMaxMergedLogs];
    int64_t above[kMaxMergedLogs];
    rows.RowsBefore(CRow(low), below);
    rows.RowsBefore(CRow(high), above);
    for (int log = 0; log < logs; ++log) {
        CLogPicks& picks = m_logs[log];
        picks.next = FirstReferenceFrom(lists[log], below[log]);
        picks.end = FirstReferenceFrom(lists[log], above[log]);
        if (Refill(log)) m_live[m_liveCount++] = log;
    }
}

bool CMergedPickWalk::Refill(int log) {
    CLogPicks& picks = m_logs[log];
    auto n = static_cast<int>(std::min<int64_t>(kChunk, picks.end - picks.next));
    if (n <= 0) return false;
    const CLogLineList& list = m_lists[log];
    for (int k = 0; k < n; ++k) picks.logRows[k] = list.ReferredRow(picks.next + k);
    m_rows.RowsOf(log, picks.logRows, n, picks.merged);
    picks.next += n;
    picks.at = 0;
    picks.count = n;
    return true;
}

bool CMergedPickWalk::Next(CMergedPick* pick) {
    while (m_liveCount > 0) {
        // The live log whose next row comes first (rows of different logs never tie).
        int best = 0;
        for (int k = 1; k < m_liveCount; ++k) {
            const CLogPicks& a = m_logs[m_live[k]];
            const CLogPicks& b = m_logs[m_live[best]];
            if (a.merged[a.at] < b.merged[b.at]) best = k;
        }
        int log = m_live[best];
        CLogPicks& picks = m_logs[log];
        int64_t row = picks.merged[picks.at];
        int64_t logRow = picks.logRows[picks.at];
        if (++picks.at == picks.count && !Refill(log)) m_live[best] = m_live[--m_liveCount];
        if (row < 0) continue;
        *pick = CMergedPick{row, logRow, log};
        return true;
    }
    return false;
}

int64_t PicksBefore(const CMergedRows& rows, const CLogLineList* lists, int64_t row) {
    int64_t before[kMaxMergedLogs];
    rows.RowsBefore(CRow(row), before);
    int64_t n = 0;
    for (int log = 0; log < rows.LogCount(); ++log) n += FirstReferenceFrom(lists[log], before[log]);
    return n;
}

int CMergedPicks::AddLogRows(const CMergedRows& rows, const CLogLineList* const* lists, const int64_t* from) {
    CGrowBuffer<int64_t> logRows;
    for (int log = 0; log < rows.LogCount(); ++log) {
        if (lists[log] == nullptr || lists[log]->Count() == 0) continue;
        int64_t start = from != nullptr ? FirstEntryFrom(*lists[log], from[log]) : 0;
        int64_t n = lists[log]->Count() - start;
        if (n <= 0) continue;
        if (!logRows.Grow(static_cast<size_t>(n))) return 0;
        CLogLineReader reader(*lists[log], start);
        CLogLine line;
        int64_t k = 0;
        while (k < n && reader.Next(&line)) logRows.Data()[k++] = line.lineNumber;
        if (!AddLog(rows, log, logRows.Data(), k)) return 0;
    }
    return 1;
}

int64_t FirstEntryFrom(const CLogLineList& list, int64_t line) {
    int64_t low = 0;
    int64_t high = list.Count();
    while (low < high) {
        int64_t mid = low + (high - low) / 2;
        if (list[mid].lineNumber < line) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}
