// The merged view's rows and the rows taken from it.
#include "merge/merged_sources.h"

#include <algorithm>
#include <new>

#include "merge/merged_picks.h"
#include "merge/merged_scan.h"

CLogFile* CMergedSource::LogFile(int log) const {
    return log >= 0 && log < m_merged->LogCount() ? m_merged->Log(log).file : nullptr;
}

unsigned CMergedSource::LogCodePage(int log) const {
    return log >= 0 && log < m_merged->LogCount() ? m_merged->Log(log).codePage : 0;
}

bool CMergedSource::MergedLineOf(int64_t mergedRow, int* log, int64_t* line) const {
    CRow logRow;
    CLogLine entry;
    if (!m_merged->Origin(CRow(mergedRow), log, &logRow)) return false;
    if (!m_merged->Log(*log).index->Get(logRow.Value(), &entry)) return false;
    *line = entry.lineNumber;
    return true;
}

namespace {

// The merged view's rows are the merged rows: they moved as the change says.
class CMergedMoves : public CRowMoves {
public:
    CMergedMoves(const CMergeChange& change, const CMergedRows& rows) : m_change(change), m_rows(rows) {}
    int64_t First() const override { return m_change.First(); }
    int64_t RowNow(int64_t oldRow) override { return m_change.RowNow(m_rows, oldRow); }

private:
    const CMergeChange& m_change;
    const CMergedRows& m_rows;
};

// A list's rows: those before first stayed, the others' rows now are listed (-1: gone).
class CListMoves : public CRowMoves {
public:
    int64_t First() const override { return m_first; }
    int64_t RowNow(int64_t oldRow) override {
        if (oldRow < m_first) return oldRow;
        return oldRow - m_first < m_count ? m_now.Data()[oldRow - m_first] : -1;
    }

    CGrowBuffer<int64_t> m_now;
    int64_t m_first = 0;
    int64_t m_count = 0;
};

int64_t LastRowOf(const CLogLineList* picks) {
    int64_t last = -1;
    CLogLine entry;
    for (CLogLineReader reader(*picks, 0); reader.Next(&entry);)
        last = entry.lineNumber > last ? entry.lineNumber : last;
    return last;
}

}  // namespace

CMergedPickRows::CMergedPickRows(std::unique_ptr<CLogLineList> picks, std::shared_ptr<CMergedRows> merged,
                                 std::shared_ptr<const CLogLineList> errorRows, bool errorLog)
    : CMergedSource(std::move(merged), std::move(errorRows)), m_picks(std::move(picks)), m_errorLog(errorLog) {
    if (m_picks != nullptr) m_lastRow = LastRowOf(m_picks.get());
}

std::unique_ptr<CRowMoves> CMergedViewRows::FollowChange(const CMergeChange& change) const {
    return std::unique_ptr<CRowMoves>(new (std::nothrow) CMergedMoves(change, *m_merged));
}

std::unique_ptr<CRowMoves> CMergedPickRows::FollowChange(const CMergeChange& change) const {
    std::unique_ptr<CListMoves> moves(new (std::nothrow) CListMoves());
    if (moves == nullptr || m_picks == nullptr) return nullptr;
    CLogLineList& picks = *m_picks;
    moves->m_first = picks.Count();
    // Rows that came at the end move none of the picks (the common step of a followed log).
    if (!change.Rekeyed() && m_lastRow < change.First() && !m_errorLog) return moves;
    // The first entry whose row may have moved: the rows of an extraction's hits rise, but
    // their context rows step back a little, so the entries are looked through.
    int64_t first = 0;
    CLogLine entry;
    if (m_errorLog) {
        first = change.Rekeyed() ? 0 : FirstEntryFrom(picks, change.First());
    } else if (!change.Rekeyed()) {
        for (CLogLineReader reader(picks, 0); reader.Next(&entry) && entry.lineNumber < change.First();) ++first;
    }
    int64_t count = picks.Count() - first;
    moves->m_first = first;
    moves->m_count = count;
    CGrowBuffer<int64_t> rows;
    size_t room = static_cast<size_t>(count > 0 ? count : 1);
    if (!moves->m_now.Grow(room) || !rows.Grow(room)) return nullptr;
    CLogLineReader reader(picks, first);
    for (int64_t k = 0; k < count && reader.Next(&entry); ++k)
        rows.Data()[k] = change.RowNow(*m_merged, entry.lineNumber);
    picks.Truncate(first);
    if (m_errorLog) {
        // The error rows changed from the same row on: their entries from there are the list's.
        int64_t more = m_errorRows->Count() - first;
        if (more > 0 && !picks.Append(*m_errorRows, first, more)) return nullptr;
        for (int64_t k = 0; k < count; ++k) {
            int64_t row = rows.Data()[k];
            int64_t at = row < 0 ? picks.Count() : FirstEntryFrom(picks, row);
            moves->m_now.Data()[k] = at < picks.Count() && picks[at].lineNumber == row ? at : -1;
        }
        m_lastRow = picks.Count() > 0 ? picks[picks.Count() - 1].lineNumber : -1;
        return moves;
    }
    // Each entry from its row now, where it stood; gone ones are left out.
    CMergedTimeCursor cursor(*m_merged);
    for (int64_t k = 0; k < count; ++k) {
        int64_t row = rows.Data()[k];
        moves->m_now.Data()[k] = -1;
        if (row < 0) continue;
        if (cursor.Read(row, 1, &entry) != 1 || !picks.Append(entry)) return nullptr;
        moves->m_now.Data()[k] = picks.Count() - 1;
    }
    m_lastRow = LastRowOf(m_picks.get());
    return moves;
}

int CMergedViewRows::LogOf(CRow row, const CLogLine&) const {
    return row.Value() >= 0 && row.Value() < m_merged->Count() ? m_merged->LogOf(row) : -1;
}

int64_t CMergedViewRows::Search(const CLogReaders& readers, int64_t start, CSearchDirection direction,
                                const CSearchCondition& condition, const CScanOptions& options) const {
    return SearchMergedView(*m_merged, readers, start, direction, condition, options);
}

int CMergedViewRows::Extract(const CLogReaders& readers, const CSearchCondition& condition, int32_t before,
                             int32_t after, CLogLineList* result, const CScanOptions& options) const {
    return ExtractMergedView(*m_merged, readers, condition, before, after, result, options);
}

bool CMergedPickRows::Entry(CRow row, CLogLine* line) const {
    return m_picks != nullptr && row.Value() >= 0 && m_picks->Get(row.Value(), line);
}

int64_t CMergedPickRows::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    if (m_picks == nullptr || first.Value() < 0 || first.Value() >= m_picks->Count() || n <= 0) return 0;
    return m_picks->Read(first.Value(), n, out);
}

CLogFile* CMergedPickRows::FileOf(CRow row) const {
    CLogLine entry;
    return Entry(row, &entry) ? m_merged->FileOf(CRow(entry.lineNumber)) : nullptr;
}

int CMergedPickRows::LogOf(CRow, const CLogLine& entry) const {
    return entry.lineNumber >= 0 && entry.lineNumber < m_merged->Count() ? m_merged->LogOf(CRow(entry.lineNumber)) : -1;
}

bool CMergedPickRows::LogLineOf(CRow row, int* log, int64_t* line) const {
    CLogLine entry;
    return Entry(row, &entry) && MergedLineOf(entry.lineNumber, log, line);
}

int MergedErrorPicks(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out) {
    out->Free();
    if (!AppendMergedErrorPicks(rows, errors, 0, out)) return 0;
    out->ShrinkToFit();
    return 1;
}

int AppendMergedErrorPicks(const CMergedRows& rows, const CLogLineList* const* errors, int64_t first,
                           CLogLineList* out) {
    int64_t before[kMaxMergedLogs];
    rows.RowsBefore(CRow(first), before);
    CMergedPicks picks;
    if (!picks.AddLogRows(rows, errors, before)) return 0;
    int64_t original = out->Count();
    CMergedTimeCursor cursor(rows);
    CLogLine keyed;
    for (int64_t k = 0; k < picks.Count(); ++k) {
        const CMergedPick& pick = picks.At(k);
        if (!cursor.ReadAt(pick.log, pick.logRow, pick.row, &keyed) || !out->Append(keyed)) {
            out->Truncate(original);
            return 0;
        }
    }
    return 1;
}
