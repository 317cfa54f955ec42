// The rows of a list of entries.
#include "document/row_source.h"

namespace {

// The list index of a row, or -1 outside a list of count entries.
int32_t IndexOf(CRow row, int64_t count) {
    return row.Value() >= 0 && row.Value() < count ? static_cast<int32_t>(row.Value()) : -1;
}

}  // namespace

bool CLineListRows::Entry(CRow row, CLogLine* line) const {
    int32_t index = IndexOf(row, Count());
    if (index < 0) return false;
    *line = m_lines->Entries()[index];
    return true;
}

CLogFile* CLineListRows::FileOf(CRow row) const { return IndexOf(row, Count()) >= 0 ? m_file : nullptr; }
