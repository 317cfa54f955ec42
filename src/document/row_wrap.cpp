// Wrapping rows: the break positions of one row and the moves over visual lines.
#include "document/row_wrap.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

int CRowWrap::Wrap(const char16_t* text, const int32_t* widths, int n, int32_t width) {
    m_count = 1;
    m_length = n > 0 ? n : 0;
    if (width < 1) width = 1;
    for (int start = 0; start < m_length;) {
        int32_t used = 0;
        int end = start;
        int afterBlank = -1;  // the unit after the line's last blank
        int32_t usedAtBlank = 0;
        // At least one unit, whatever its width; units of width 0 always fit after it.
        while (end < m_length && (end == start || widths[end] == 0 || used + widths[end] <= width)) {
            used += widths[end];
            if (IsBlank(text[end])) {
                afterBlank = end + 1;
                usedAtBlank = used;
            }
            ++end;
        }
        if (end >= m_length) break;
        if (afterBlank > start && afterBlank < end && usedAtBlank * 2 >= width) end = afterBlank;
        if (!m_starts.Grow(static_cast<size_t>(m_count))) {
            m_count = 1;
            return 0;
        }
        m_starts.Data()[m_count - 1] = end;
        ++m_count;
        start = end;
    }
    return 1;
}

int CRowWrap::LineStart(int line) const {
    if (line <= 0) return 0;
    if (line >= m_count) return m_length;
    return m_starts.Data()[line - 1];
}

int CRowWrap::LineEnd(int line) const { return line + 1 >= m_count ? m_length : LineStart(line + 1); }

int CRowWrap::LineOf(int column) const {
    // The last line whose start is at or before column.
    int lo = 0;
    int hi = m_count - 1;
    while (lo < hi) {
        int mid = lo + (hi - lo + 1) / 2;
        if (LineStart(mid) <= column) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

CWrapPlace MoveWrapPlace(CWrapPlace place, int64_t delta, int64_t rowCount, CLineCounter& counter, int64_t* moved) {
    int64_t went = 0;
    if (rowCount <= 0) {
        if (moved != nullptr) *moved = 0;
        return CWrapPlace{};
    }
    if (place.row < 0) place = CWrapPlace{};
    if (place.row >= rowCount) place = CWrapPlace{rowCount - 1, 0x7fffffff};
    int32_t lines = counter.LinesOf(place.row);
    if (place.line >= lines) place.line = lines - 1;
    if (place.line < 0) place.line = 0;
    while (delta > 0) {
        int64_t rest = lines - 1 - place.line;
        if (delta <= rest) {
            place.line += static_cast<int32_t>(delta);
            went += delta;
            break;
        }
        if (place.row + 1 >= rowCount) {
            place.line = lines - 1;
            went += rest;
            break;
        }
        delta -= rest + 1;
        went += rest + 1;
        ++place.row;
        place.line = 0;
        lines = counter.LinesOf(place.row);
    }
    while (delta < 0) {
        if (-delta <= place.line) {
            place.line += static_cast<int32_t>(delta);
            went += delta;
            break;
        }
        if (place.row == 0) {
            went -= place.line;
            place.line = 0;
            break;
        }
        delta += place.line + 1;
        went -= place.line + 1;
        --place.row;
        place.line = counter.LinesOf(place.row) - 1;
    }
    if (moved != nullptr) *moved = went;
    return place;
}

int32_t CLineCountCache::Find(int64_t row) const {
    const CSlot& slot = m_slots[static_cast<uint64_t>(row) % kSlots];
    return slot.row == row ? slot.count : 0;
}

void CLineCountCache::Keep(int64_t row, int32_t count) {
    CSlot& slot = m_slots[static_cast<uint64_t>(row) % kSlots];
    slot.row = row;
    slot.count = count;
}

void CLineCountCache::Forget() {
    for (CSlot& slot : m_slots) slot.row = -1;
}
