// Error lines looked up by line number.
#include "search/error_rows.h"

#include <new>

void CErrorRows::MoveTo(int64_t index) {
    m_cursor = index;
    m_below = index > 0 ? LineAt(index - 1) : -1;
    m_reader.reset(m_errors != nullptr ? new (std::nothrow) CLogLineReader(*m_errors, index) : nullptr);
    m_at = NextLine();
}

int64_t CErrorRows::NextLine() {
    CLogLine entry;
    return m_reader != nullptr && m_reader->Next(&entry) ? entry.lineNumber : -1;
}

bool CErrorRows::Contains(CLineNumber line) {
    if (!m_started) {
        m_started = true;
        MoveTo(0);
    }
    int64_t value = line.Value();
    // Between the cached neighbours (the common case): nothing to read.
    if (value > m_below && (m_at < 0 || value <= m_at)) return value == m_at;
    // A row below the cursor (an extraction's context goes back) starts a new search.
    if (value <= m_below) {
        MoveTo(LowerBound(line));
        return value == m_at;
    }
    // Rising rows step the cursor; a long gap is crossed by a search instead.
    for (int steps = 0; m_at >= 0 && m_at < value; ++steps) {
        if (steps == 8) {
            MoveTo(LowerBound(line));
            break;
        }
        m_below = m_at;
        ++m_cursor;
        m_at = NextLine();
    }
    return value == m_at;
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
