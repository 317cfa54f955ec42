// The text of a range of rows, as the view shows and copies it: each row's first
// kRowTextBytes bytes, ending at a NUL character, decoded with the log's code page.
#pragma once

#include <atomic>
#include <cstdint>

#include "document/file.h"
#include "document/log_line.h"
#include "document/progress_listener.h"
#include "document/row_source.h"

// The longest part of a row that drawing, copying and word selection look at.
constexpr int kRowTextBytes = 8192;

struct CRowRange {
    int64_t firstRow = 0;
    int32_t firstColumn = 0;  // UTF-16 units into the first row
    int64_t lastRow = 0;
    int32_t lastColumn = 0;  // end (exclusive) in the last row
};

// Reads a row's prefix into bytes (kRowTextBytes + 1) and decodes it into text
// (kRowTextBytes units); returns the unit count, 0 for nothing.
int ReadRowText(CFile* file, const CLogLine& line, unsigned codePage, char* bytes, char16_t* text);

// How RowsText reads a row: its prefix into bytes and its text into text, as ReadRowText
// does; the unit count.
class CRowTextReader {
public:
    virtual int Read(int64_t row, const CLogLine& line, char* bytes, char16_t* text) const = 0;

protected:
    ~CRowTextReader() = default;
};

// The range's text, each row read by reader: as RangeText below.
char16_t* RowsText(const CRowSource& rows, const CRowTextReader& reader, const CRowRange& range, bool hideEscapes,
                   const std::atomic<int>* cancel, CProgressListener* listener);

// The range's text, line breaks as they are in the file, as a new NUL-terminated buffer
// (std::free), or null when out of memory or cancelled (*cancel non-zero, checked every
// few thousand rows). Rows outside the source are left out. The bytes are read through
// file (a background job's own handle), or through each row's file when it is null.
// hideEscapes: each row's text as the view shows it with colour codes on, without its
// escape sequences; the columns count in that text. Progress: rows done of rows.
char16_t* RangeText(const CRowSource& rows, CFile* file, const CRowRange& range, unsigned codePage, bool hideEscapes,
                    const std::atomic<int>* cancel = nullptr, CProgressListener* listener = nullptr);
