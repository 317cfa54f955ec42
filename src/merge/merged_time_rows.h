// CMergedTimeRows: the merged rows as the scans that count or find by time should see
// them - each entry's stamp is its row's key on the common clock (a UTC date and time, the
// log's offset added; merge/merge_keys.h) and its line number is its merged row. So a
// timeline or a jump to a time over these rows is on one clock for every log, and a list of
// error rows numbered by merged row (MergedErrorRows) marks the timeline's error rows.
// CMergedTimeCursor reads the same entries for rows asked in rising order, far apart or not.
#pragma once

#include <optional>

#include "merge/merged_rows.h"

class CMergedTimeRows : public CRowSource {
public:
    explicit CMergedTimeRows(const CMergedRows& rows) : m_rows(rows) {}

    int64_t Count() const override { return m_rows.Count(); }
    bool Entry(CRow row, CLogLine* line) const override { return ReadRows(row, 1, line) == 1; }
    // Costs up to 256 entries of each log met besides the rows (to make their keys again).
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override;
    CLogFile* FileOf(CRow row) const override { return m_rows.FileOf(row); }
    // None: the clock is the merged one, never a file's.
    CLogFile* File() const override { return nullptr; }

private:
    const CMergedRows& m_rows;
};

// The entries of CMergedTimeRows for ranges of rows asked in rising order (an extraction's
// hits with their context, the error rows). A row in a simple block of its log
// (CMergeKeyState::simple) costs its entry alone; in another, its log's key walk goes on from
// where the last range left it when that is nearer than the key state before the row. One
// thread.
class CMergedTimeCursor {
public:
    explicit CMergedTimeCursor(const CMergedRows& rows) : m_rows(rows) {}
    CMergedTimeCursor(const CMergedTimeCursor&) = delete;
    CMergedTimeCursor& operator=(const CMergedTimeCursor&) = delete;

    // The entries of up to n rows from first on into out: how many (0 outside the rows). A
    // first below an earlier one costs walks from the key states, as a first read does.
    int64_t Read(int64_t first, int64_t n, CLogLine* out);
    // The entry of merged row `row`, which the caller knows to be log's row logRow (a hit's
    // or an error line's): no walk over the merged order. False when there is no such row.
    bool ReadAt(int log, int64_t logRow, int64_t row, CLogLine* out);

private:
    // A log's reader (at its row at) and key walk (at its row keyedAt, -1: none).
    struct CLogWalk {
        std::optional<CLogLineReader> reader;
        std::optional<CMergeKeys> keys;
        int64_t at = 0;
        int64_t keyedAt = -1;
    };
    // The key of log's row logRow, whose entry's stamp is stamp.
    int64_t KeyOf(int log, int64_t logRow, const CTimeStamp& stamp);

    const CMergedRows& m_rows;
    CLogWalk m_walks[kMaxMergedLogs];
    CKeyStamps m_stamps;
};

// The merged rows that hold an error line of their log (each log's errors: its error lines
// in line-number order, or null), as entries numbered by merged row, into out (emptied
// first). 1, or 0 when memory ran out. Costs about a step through the merged order's
// blocks per error line, however many rows there are.
int MergedErrorRows(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out);
