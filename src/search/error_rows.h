// CErrorRows: whether a row holds an error line, answered from the file's error-line list
// (sorted by line number) rather than by reading the row's text. Read through Get only.
#pragma once

#include <cstdint>

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
    const CLogLineList* m_errors;
    int64_t m_cursor = 0;
};
