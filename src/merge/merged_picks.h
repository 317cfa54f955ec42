// CMergedPicks: rows of merged logs picked by each log's own rows (a log's hits, its error
// lines) and put in the merged order, each with its log and its row there.
#pragma once

#include <cstdint>

#include "foundation/buffer.h"
#include "merge/merged_rows.h"

struct CMergedPick {
    int64_t row = 0;     // merged row
    int64_t logRow = 0;  // its row in its log
    int log = 0;
};

class CMergedPicks {
public:
    // Adds n rows of log (rising, each once) at their merged rows, keeping the picks in
    // merged order (a log's picks are merged with those already there); a row the log does not
    // have is left out. 1, or 0 when memory ran out.
    int AddLog(const CMergedRows& rows, int log, const int64_t* logRows, int64_t n);
    // The same with the merged rows found already (rows.RowsOf; -1 for none).
    int AddMapped(int log, const int64_t* logRows, const int64_t* mergedRows, int64_t n);
    // The rows named by line number in lists[log] (each in line-number order, or null), of
    // every log: a log's line numbers are its rows. from[log], when given: only the rows
    // from it on. 1, or 0 when memory ran out.
    int AddLogRows(const CMergedRows& rows, const CLogLineList* const* lists, const int64_t* from = nullptr);

    int64_t Count() const { return m_count; }
    const CMergedPick& At(int64_t k) const { return m_picks.Data()[k]; }

private:
    CGrowBuffer<CMergedPick> m_picks;
    int64_t m_count = 0;
};

// The index of the first entry of a list in line-number order whose line number is at least
// line (Count() when none): a halving over its entries.
int64_t FirstEntryFrom(const CLogLineList& list, int64_t line);
