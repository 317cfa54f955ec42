// CMergeChange: how the rows of a merge moved when it changed in place - followed logs'
// new rows merged in (ExtendMerge), or the merge made again with another time offset
// (DescribeChange) - so that whatever numbers rows by merged row (the views' caret and
// markers, extractions, the error rows) can find its rows again.
#pragma once

#include <cstdint>

#include "foundation/buffer.h"
#include "merge/merged_rows.h"

class CMergeChange {
public:
    // The rows before First() kept their place and their entries; the others may have moved.
    int64_t First() const { return m_first; }
    int64_t OldCount() const { return m_oldCount; }
    // The keys of rows that kept their place may have changed too (another time offset): an
    // entry taken with its key is read again wherever its row is.
    bool Rekeyed() const { return m_rekeyed; }

    // The log and its row of the merged row oldRow before the change (at or after First());
    // false when it was not such a row. Costs a block's bytes.
    bool OldOrigin(int64_t oldRow, int* log, int64_t* logRow) const;
    // The merged row now (in now) of the merged row oldRow before the change; -1 when it was
    // not a row or its log's row is gone.
    int64_t RowNow(const CMergedRows& now, int64_t oldRow) const;

    // For DescribeChange and ExtendMerge: keeps the old order's rows from first on, of old.
    // 1, or 0 when memory ran out.
    int Keep(const CMergedRows& old, int64_t first);
    void SetRekeyed() { m_rekeyed = true; }

private:
    static constexpr int kBlockShift = 7;

    int64_t m_first = 0;
    int64_t m_oldCount = 0;
    int m_logCount = 0;
    bool m_rekeyed = false;
    CGrowBuffer<uint8_t> m_oldIds;   // the old order's logs of rows [m_first, m_oldCount)
    CGrowBuffer<int64_t> m_oldRows;  // each log's rows before each block of them (128 rows)
};

// The change from old to now, two merges of the same logs (with other time offsets): the rows
// before the first whose log differs kept their place, and every key may differ. 1, or 0
// when memory ran out.
int DescribeChange(const CMergedRows& old, const CMergedRows& now, CMergeChange* change);
