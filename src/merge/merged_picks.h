// CMergedPicks: rows of merged logs picked by each log's own rows (a log's hits, its error
// lines) and put in the merged order, each with its log and its row there. CMergedPickWalk
// gives the same order for lists of picked rows without a list of them all.
#pragma once

#include <cstdint>
#include <optional>

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

// Walks the picks of every log whose merged rows lie in [low, high), in merged order: lists
// holds each log's picks as a list of references to its index (rising rows, each once: a
// scan's hits); a row the merged order does not have yet (a followed log's) is left out.
// Each log's rows are mapped as they come (CMergedRowCursor). One thread; the lists stay
// unchanged meanwhile.
class CMergedPickWalk {
public:
    CMergedPickWalk(const CMergedRows& rows, const CLogLineList* lists, int64_t low, int64_t high);
    CMergedPickWalk(const CMergedPickWalk&) = delete;
    CMergedPickWalk& operator=(const CMergedPickWalk&) = delete;

    // The next pick; false after the last.
    bool Next(CMergedPick* pick);

private:
    // A log's next pick (row, logRow) and the rest of its picks, [next, end) of its list.
    struct CLogPicks {
        int64_t row = 0;
        int64_t logRow = 0;
        int64_t next = 0;
        int64_t end = 0;
    };
    // Maps the log's next pick; false when it has none left.
    bool Advance(int log);

    const CLogLineList* m_lists;
    CLogPicks m_logs[kMaxMergedLogs];
    std::optional<CMergedRowCursor> m_cursors[kMaxMergedLogs];
    int m_live[kMaxMergedLogs] = {};  // the logs with picks left
    int m_liveCount = 0;
};

// How many picks of lists (as CMergedPickWalk takes them) lie before merged row row
// (0 <= row <= rows.Count()): a halving over each list.
int64_t PicksBefore(const CMergedRows& rows, const CLogLineList* lists, int64_t row);

// The index of the first entry of a list in line-number order whose line number is at least
// line (Count() when none): a halving over its entries.
int64_t FirstEntryFrom(const CLogLineList& list, int64_t line);
