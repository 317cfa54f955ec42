// CRowPrinter: prints rows of a line list as quillon-cli shows them, one per line, in UTF-8:
// the line number (1-based), the time stamp (YYYY-MM-DD HH:MM:SS.mmm, empty when there is
// none), the interval cell, "!" when the interval check marks it, and the message without
// its line break, separated by tabs. The cells come from CRowCells, as the view draws them.
#pragma once

#include <cstdint>
#include <cstdio>

#include "document/file.h"
#include "document/log_line.h"
#include "document/row_cells.h"
#include "foundation/buffer.h"
#include "search/line_window.h"

class CRowPrinter {
public:
    // hideEscapes: messages without their escape sequences, as the viewer shows them.
    CRowPrinter(CFile* file, unsigned codePage, bool hideEscapes, std::FILE* out);
    CRowPrinter(const CRowPrinter&) = delete;
    CRowPrinter& operator=(const CRowPrinter&) = delete;

    // Prints one row with its cells.
    void Print(const CLogLine& line, const CRowCell& cell);

private:
    void Message(const CLogLine& line);
    void Wide(const char16_t* text, int count);

    CLineWindow m_window;
    unsigned m_codePage;
    bool m_hideEscapes;
    std::FILE* m_out;
    CGrowBuffer<char16_t> m_wide;
    CGrowBuffer<char> m_bytes;
};

// The time stamp as "YYYY-MM-DD HH:MM:SS.mmm" (year as stored), or "" when it is all zero.
void FormatStamp(const CTimeStamp& stamp, char* out, size_t capacity);
