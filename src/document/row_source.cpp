// The rows of a list of entries.
#include "document/row_source.h"

#include "stamps/stamp_clock.h"

namespace {

// Whether a list of count entries holds the row.
bool Holds(CRow row, int64_t count) { return row.Value() >= 0 && row.Value() < count; }

}  // namespace

int64_t CRowSource::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    int64_t k = 0;
    while (k < n && Entry(first + k, out + k)) ++k;
    return k;
}

bool CRowWalker::Next(CLogLine* line) {
    if (m_at == m_count) {
        m_count = m_rows.ReadRows(m_next, kBatch, m_batch);
        m_next = m_next + m_count;
        m_at = 0;
        if (m_count == 0) return false;
    }
    *line = m_batch[m_at++];
    return true;
}

bool CLineListRows::Entry(CRow row, CLogLine* line) const {
    return m_lines != nullptr && m_lines->Get(row.Value(), line);
}

int64_t CLineListRows::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    return m_lines != nullptr ? m_lines->Read(first.Value(), n, out) : 0;
}

std::shared_ptr<const CLogLineList> CLineListRows::IndexList() const {
    if (m_lines == nullptr) return nullptr;
    if (m_lines->Index() != nullptr) return m_lines->Index();
    return m_lines;
}

CLogFile* CLineListRows::FileOf(CRow row) const { return Holds(row, Count()) ? m_file : nullptr; }

int64_t WrittenDay(const CRowSource& rows) {
    CLogFile* file = rows.File();
    int64_t day = 0;
    return file != nullptr && file->LastWriteDay(&day) ? day : CStampClock::kNoDay;
}
