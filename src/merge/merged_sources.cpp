// The merged view's rows and the rows taken from it.
#include "merge/merged_sources.h"

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
    CMergedPicks picks;
    if (!picks.AddLogRows(rows, errors)) return 0;
    CMergedTimeCursor cursor(rows);
    CLogLine keyed;
    for (int64_t k = 0; k < picks.Count(); ++k) {
        if (cursor.Read(picks.At(k).row, 1, &keyed) != 1 || !out->Append(keyed)) return 0;
    }
    out->ShrinkToFit();
    return 1;
}
