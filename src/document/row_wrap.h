// Long rows wrapped onto further visual lines: where a row's text breaks for a width, given
// each unit's width, and the moves through the visual lines of consecutive rows, which ask
// for the line counts of only the rows they pass (never the whole log). Portable; the view
// supplies the widths and counts.
#pragma once

#include <cstdint>

#include "foundation/buffer.h"

// Where one row's text breaks into visual lines.
class CRowWrap {
public:
    // Breaks the n units of text, unit i widths[i] wide, into lines no wider than width (a
    // unit of width 0, as the second half of a surrogate pair, stays with the one before). A
    // line ends after its last blank (space or tab) when the line then fills at least half
    // the width, else before the first unit that does not fit; it holds at least one unit.
    // An empty text is one empty line. 1, or 0 when memory ran out (the text is one line).
    int Wrap(const char16_t* text, const int32_t* widths, int n, int32_t width);
    int LineCount() const { return m_count; }
    // Line k's first unit, and the unit after its last one (the next line's first).
    int LineStart(int line) const;
    int LineEnd(int line) const;
    // The line that holds column: a line's first unit starts it, and n belongs to the last.
    int LineOf(int column) const;

private:
    CGrowBuffer<int32_t> m_starts;  // the first unit of lines 1 .. m_count - 1
    int m_count = 1;
    int m_length = 0;
};

// A visual line among a view's rows: line `line` of row `row`.
struct CWrapPlace {
    int64_t row = 0;
    int32_t line = 0;
};

// How many visual lines a row takes (at least 1).
class CLineCounter {
public:
    virtual ~CLineCounter() = default;
    virtual int32_t LinesOf(int64_t row) = 0;
};

// place moved by delta visual lines (backwards when negative) through rows 0 .. rowCount - 1,
// no further than the first line of row 0 and the last line of the last row; a line beyond
// its row's count counts as the row's last. *moved, when given: the lines it went (signed).
CWrapPlace MoveWrapPlace(CWrapPlace place, int64_t delta, int64_t rowCount, CLineCounter& counter,
                         int64_t* moved = nullptr);

// The line counts of the rows last asked for, by row (a cache of fixed size: each row has
// one slot, shared with rows a multiple of kSlots away).
class CLineCountCache {
public:
    static constexpr int kSlots = 1024;
    // The count kept for row, or 0 when none is.
    int32_t Find(int64_t row) const;
    void Keep(int64_t row, int32_t count);
    void Forget();

private:
    struct CSlot {
        int64_t row = -1;
        int32_t count = 0;
    };
    CSlot m_slots[kSlots];
};
