// The rows of a changed merge found again: a row's old origin is its log (the byte kept) and
// that log's rows before it - kept for each block of the old rows, counted within the block.
#include "merge/merge_change.h"

#include <cstring>

int CMergeChange::Keep(const CMergedRows& old, int64_t first) {
    int64_t count = old.Count();
    if (first > count) first = count;
    int64_t rows = count - first;
    int64_t blocks = (rows >> kBlockShift) + 1;
    int logs = old.LogCount();
    if (!m_oldIds.Reserve(static_cast<size_t>(rows + 1)) || !m_oldRows.Reserve(static_cast<size_t>(blocks * logs)))
        return 0;
    m_first = first;
    m_oldCount = count;
    m_logCount = logs;
    int64_t* before = m_oldRows.Data();
    old.RowsBefore(CRow(first), before);
    for (int64_t r = 0; r < rows; ++r) {
        auto log = static_cast<uint8_t>(old.LogOf(CRow(first + r)));
        m_oldIds.Data()[r] = log;
        if (((r + 1) & ((int64_t{1} << kBlockShift) - 1)) == 0) {
            int64_t* next = before + logs;
            std::memcpy(next, before, static_cast<size_t>(logs) * sizeof(int64_t));
            for (int64_t j = r + 1 - (int64_t{1} << kBlockShift); j <= r; ++j) ++next[m_oldIds.Data()[j]];
            before = next;
        }
    }
    return 1;
}

bool CMergeChange::OldOrigin(int64_t oldRow, int* log, int64_t* logRow) const {
    if (oldRow < m_first || oldRow >= m_oldCount) return false;
    int64_t r = oldRow - m_first;
    int64_t block = r >> kBlockShift;
    const uint8_t* ids = m_oldIds.Data();
    auto id = ids[r];
    int64_t rows = m_oldRows.Data()[block * m_logCount + id];
    for (int64_t j = block << kBlockShift; j < r; ++j) rows += ids[j] == id ? 1 : 0;
    *log = id;
    *logRow = rows;
    return true;
}

int64_t CMergeChange::RowNow(const CMergedRows& now, int64_t oldRow) const {
    if (oldRow >= 0 && oldRow < m_first) return oldRow;
    int log = 0;
    int64_t logRow = 0;
    if (!OldOrigin(oldRow, &log, &logRow)) return -1;
    return now.RowOf(log, CRow(logRow));
}

int DescribeChange(const CMergedRows& old, const CMergedRows& now, CMergeChange* change) {
    int64_t same = 0;
    int64_t count = old.Count() < now.Count() ? old.Count() : now.Count();
    if (old.LogCount() == now.LogCount()) {
        while (same < count && old.LogOf(CRow(same)) == now.LogOf(CRow(same))) ++same;
    }
    if (!change->Keep(old, same)) return 0;
    change->SetRekeyed();
    return 1;
}
