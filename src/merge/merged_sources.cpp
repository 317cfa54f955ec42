// The merged view's rows and the rows taken from it.
#include "merge/merged_sources.h"

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
    CLogLineList numbered;
    if (!MergedErrorRows(rows, errors, &numbered)) return 0;
    out->Free();
    // The error rows rise, so one walk over the keys finds each.
    CMergedTimeRows times(rows);
    CRowWalker walker(times, CRow(0));
    CLogLineReader reader(numbered, 0);
    CLogLine error;
    CLogLine keyed;
    int64_t at = -1;
    while (reader.Next(&error)) {
        while (at < error.lineNumber && walker.Next(&keyed)) at = keyed.lineNumber;
        if (at != error.lineNumber || !out->Append(keyed)) return 0;
    }
    out->ShrinkToFit();
    return 1;
}
