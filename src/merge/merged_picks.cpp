// Each log's rows are mapped to merged rows in one forward pass over the merged order's
// blocks (CMergedRows::RowsOf) and merged with the other logs' runs; a walk maps and merges
// them as it goes.
#include "merge/merged_picks.h"

#include <algorithm>

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
    : m_lists(lists) {
    low = std::min(std::max<int64_t>(low, 0), rows.Count());
    high = std::max(std::min(high, rows.Count()), low);
    int64_t below[kMaxMergedLogs];
    int64_t above[kMaxMergedLogs];
    rows.RowsBefore(CRow(low), below);
    rows.RowsBefore(CRow(high), above);
    for (int log = 0; log < rows.LogCount(); ++log) {
        m_logs[log].next = FirstReferenceFrom(lists[log], below[log]);
        m_logs[log].end = FirstReferenceFrom(lists[log], above[log]);
        m_cursors[log].emplace(rows, log);
        if (Advance(log)) m_live[m_liveCount++] = log;
    }
}

bool CMergedPickWalk::Advance(int log) {
    CLogPicks& picks = m_logs[log];
    while (picks.next < picks.end) {
        picks.logRow = m_lists[log].ReferredRow(picks.next++);
        picks.row = m_cursors[log]->RowOf(picks.logRow);
        if (picks.row >= 0) return true;
    }
    return false;
}

bool CMergedPickWalk::Next(CMergedPick* pick) {
    if (m_liveCount == 0) return false;
    // The live log whose next row comes first (rows of different logs never tie).
    int best = 0;
    for (int k = 1; k < m_liveCount; ++k) {
        if (m_logs[m_live[k]].row < m_logs[m_live[best]].row) best = k;
    }
    int log = m_live[best];
    *pick = CMergedPick{m_logs[log].row, m_logs[log].logRow, log};
    if (!Advance(log)) m_live[best] = m_live[--m_liveCount];
    return true;
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
