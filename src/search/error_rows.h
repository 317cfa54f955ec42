// CErrorRows: whether a row holds an error line, answered from the file's error-line list
// (sorted by line number) rather than by reading the row's text. A packed list is walked in
// order where it can be, since each lookup of one entry decodes from its block's start.
#pragma once

#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "document/row_types.h"

class CErrorRows {
public:
    // errors: the file's error lines in line-number order, or null for none. Borrowed.
    explicit CErrorRows(const CLogLineList* errors) : m_errors(errors) {}

    // Whether line is an error line. Fast when asked in rising order (a cursor moves
    // forward); a line below the last one asked is found by a binary search.
    bool Contains(CLineNumber line);
    // The index in the list of the first error line at or above line (Count() when none).
    int64_t LowerBound(CLineNumber line) const;
    // The line number of the list's entry at index, or -1 outside the list.
    int64_t LineAt(int64_t index) const;
    int64_t Count() const { return m_errors != nullptr ? m_errors->Count() : 0; }

private:
    // Moves the cursor to index and caches the line numbers around it.
    void MoveTo(int64_t index);
    // The line number of the entry after the cursor's, read in order (-1: none).
    int64_t NextLine();

    const CLogLineList* m_errors;
    std::unique_ptr<CLogLineReader> m_reader;  // just after the cursor's entry
    int64_t m_cursor = 0;
    int64_t m_below = -1;  // the line number before the cursor (-1: none)
    int64_t m_at = -1;     // the line number at the cursor (-1: past the end)
    bool m_started = false;
};
