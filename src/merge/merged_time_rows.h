// CMergedTimeRows: the merged rows as the scans that count or find by time should see
// them - each entry's stamp is its row's key on the common clock (a UTC date and time, the
// log's offset added; merge/merge_keys.h) and its line number is its merged row. So a
// timeline or a jump to a time over these rows is on one clock for every log, and a list of
// error rows numbered by merged row (MergedErrorRows) marks the timeline's error rows.
#pragma once

#include "merge/merged_rows.h"

class CMergedTimeRows : public CRowSource {
public:
    explicit CMergedTimeRows(const CMergedRows& rows) : m_rows(rows) {}

    int64_t Count() const override { return m_rows.Count(); }
    bool Entry(CRow row, CLogLine* line) const override { return ReadRows(row, 1, line) == 1; }
    // Costs up to 4096 entries of each log met besides the rows (to make their keys again).
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override;
    CLogFile* FileOf(CRow row) const override { return m_rows.FileOf(row); }
    // None: the clock is the merged one, never a file's.
    CLogFile* File() const override { return nullptr; }

private:
    const CMergedRows& m_rows;
};

// The merged rows that hold an error line of their log (each log's errors: its error lines
// in line-number order, or null), as entries numbered by merged row, into out (emptied
// first). 1, or 0 when memory ran out.
int MergedErrorRows(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out);
