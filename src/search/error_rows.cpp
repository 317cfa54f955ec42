// Error lines looked up by line number.
#include "search/error_rows.h"

bool CErrorRows::Contains(CLineNumber line) {
    int64_t count = Count();
    if (count == 0) return false;
    // A row below the cursor (an extraction's context goes back) starts a new search.
    if (m_cursor > 0 && LineAt(m_cursor - 1) >= line.Value()) m_cursor = LowerBound(line);
    // Rising rows step the cursor; a long gap is crossed by a search instead.
    for (int steps = 0; m_cursor < count && LineAt(m_cursor) < line.Value(); ++steps) {
        if (steps == 8) {
            m_cursor = LowerBound(line);
            break;
        }
        ++m_cursor;
    }
    return m_cursor < count && LineAt(m_cursor) == line.Value();
}

int64_t CErrorRows::LowerBound(CLineNumber line) const {
    int64_t low = 0;
    int64_t high = Count();
    while (low < high) {
        int64_t mid = low + (high - low) / 2;
        if (LineAt(mid) < line.Value()) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

int64_t CErrorRows::LineAt(int64_t index) const {
    CLogLine entry;
    return m_errors != nullptr && m_errors->Get(index, &entry) ? entry.lineNumber : -1;
}
