// Each log's rows are mapped to merged rows in one forward pass over the merged order's
// blocks (CMergedRows::RowsOf) and merged with the other logs' runs.
#include "merge/merged_picks.h"

#include <algorithm>

int CMergedPicks::AddLog(const CMergedRows& rows, int log, const int64_t* logRows, int64_t n) {
    if (n <= 0) return 1;
    CGrowBuffer<int64_t> merged;
    if (!merged.Grow(static_cast<size_t>(n))) return 0;
    rows.RowsOf(log, logRows, n, merged.Data());
    return AddMapped(log, logRows, merged.Data(), n);
}

int CMergedPicks::AddMapped(int log, const int64_t* logRows, const int64_t* mergedRows, int64_t n) {
    if (n <= 0) return 1;
    if (!m_picks.Grow(static_cast<size_t>(m_count + n))) return 0;
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
