// The rows a viewer shows of merged logs: the merged view itself (CMergedViewRows) and the
// rows taken from it by an extraction or the error log (CMergedPickRows). Both number their
// lines by merged row and stamp them with their keys on the common clock
// (merge/merged_time_rows.h), so that markers, intervals, the timeline and the moves by time
// work on them as on one log; and both say which log each row comes from (CRowLogs), so
// that each row is read from its own file in its own code page.
// Threads: as CMergedRows; the code pages change on the UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "merge/merge_change.h"
#include "merge/merged_rows.h"
#include "merge/merged_time_rows.h"
#include "search/row_logs.h"
#include "search/row_scan.h"

static_assert(kMaxMergedLogs == kMaxRowLogs, "a merged view's logs are the rows' logs");

// Where the rows of a view went when the merged rows changed in place (CMergeChange).
class CRowMoves {
public:
    virtual ~CRowMoves() = default;
    // The rows before it kept their place.
    virtual int64_t First() const = 0;
    // The row now of a row before the change; -1 when it is gone. Rising rows are cheapest.
    virtual int64_t RowNow(int64_t oldRow) = 0;
};

// What both share: the merged rows and their error rows.
class CMergedSource : public CRowSource, public CRowLogs {
public:
    // errorRows: the rows holding an error line, numbered by merged row (MergedErrorPicks).
    CMergedSource(std::shared_ptr<CMergedRows> merged, std::shared_ptr<const CLogLineList> errorRows)
        : m_merged(std::move(merged)), m_errorRows(std::move(errorRows)) {}

    // The first log's file, so that the rows have one, also while there are none.
    CLogFile* File() const override { return m_merged->LogCount() > 0 ? m_merged->Log(0).file : nullptr; }

    int LogCount() const override { return m_merged->LogCount(); }
    CLogFile* LogFile(int log) const override;
    unsigned LogCodePage(int log) const override;
    const CLogLineList* ErrorRows() const override { return m_errorRows.get(); }

    const CMergedRows& Merged() const { return *m_merged; }
    const std::shared_ptr<CMergedRows>& SharedMerged() const { return m_merged; }
    const std::shared_ptr<const CLogLineList>& SharedErrorRows() const { return m_errorRows; }

    // The merged rows (and their error rows, before) changed in place as change says: what
    // these rows hold of their own follows them. The moves of these rows (which refer to
    // change), or null when memory ran out (the rows may then have lost those that moved). UI
    // thread.
    virtual std::unique_ptr<CRowMoves> FollowChange(const CMergeChange& change) const = 0;

protected:
    // The log and line number of a merged row.
    bool MergedLineOf(int64_t mergedRow, int* log, int64_t* line) const;

    std::shared_ptr<CMergedRows> m_merged;
    std::shared_ptr<const CLogLineList> m_errorRows;
};

// The merged rows, on the common clock. Its search and extraction run each log's own scan.
class CMergedViewRows : public CMergedSource, public CRowScans {
public:
    CMergedViewRows(std::shared_ptr<CMergedRows> merged, std::shared_ptr<const CLogLineList> errorRows)
        : CMergedSource(std::move(merged), std::move(errorRows)), m_time(*m_merged) {}

    int64_t Count() const override { return m_merged->Count(); }
    bool Entry(CRow row, CLogLine* line) const override { return m_time.Entry(row, line); }
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override { return m_time.ReadRows(first, n, out); }
    CLogFile* FileOf(CRow row) const override { return m_merged->FileOf(row); }

    int LogOf(CRow row, const CLogLine&) const override;
    bool LogLineOf(CRow row, int* log, int64_t* line) const override { return MergedLineOf(row.Value(), log, line); }
    // The logs' own entries: their bytes without the keys made.
    const CRowSource* BytesRows() const override { return m_merged.get(); }
    const CRowScans* Scans() const override { return this; }
    std::unique_ptr<CRowMoves> FollowChange(const CMergeChange& change) const override;

    int64_t Search(const CLogReaders& readers, int64_t start, CSearchDirection direction,
                   const CSearchCondition& condition, const CScanOptions& options) const override;
    int Extract(const CLogReaders& readers, const CSearchCondition& condition, int32_t before, int32_t after,
                CLogLineList* result, const CScanOptions& options) const override;

private:
    CMergedTimeRows m_time;
};

// Rows taken from a merged view: a list of its entries (numbered by merged row, stamped
// with their keys), which it owns - in merged order but for an extraction's context rows,
// which a hit's rows give again. The error log's (errorLog) holds the error rows as they are:
// error rows that come later are taken in too.
class CMergedPickRows : public CMergedSource {
public:
    CMergedPickRows(std::unique_ptr<CLogLineList> picks, std::shared_ptr<CMergedRows> merged,
                    std::shared_ptr<const CLogLineList> errorRows, bool errorLog = false);

    int64_t Count() const override { return m_picks != nullptr ? m_picks->Count() : 0; }
    bool Entry(CRow row, CLogLine* line) const override;
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override;
    CLogFile* FileOf(CRow row) const override;

    int LogOf(CRow row, const CLogLine& entry) const override;
    bool LogLineOf(CRow row, int* log, int64_t* line) const override;
    // The entries whose rows moved are taken again from their rows now, where they stand
    // (gone ones dropped); the error log's take the error rows from the first that moved.
    std::unique_ptr<CRowMoves> FollowChange(const CMergeChange& change) const override;

private:
    std::unique_ptr<CLogLineList> m_picks;  // changed only by FollowChange
    bool m_errorLog;
    mutable int64_t m_lastRow = -1;  // the largest merged row of the picks
};

// The merged rows that hold an error line of their log (errors: each log's error lines in
// line-number order, or null), numbered by merged row and stamped with their keys, into out
// (emptied first): the error log of a merged view. 1, or 0 when memory ran out.
int MergedErrorPicks(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out);
// The same for the merged rows from first on, appended to out (whose entries end before
// first); 1, or 0 when memory ran out (out then cut back to what it held). What an error
// rows list takes when the merged rows changed from first on.
int AppendMergedErrorPicks(const CMergedRows& rows, const CLogLineList* const* errors, int64_t first,
                           CLogLineList* out);
