// Rows of a line list written out for Save Rows As and `quillon-cli extract --raw`: either as
// they are in the log (the original bytes, line breaks and escape sequences included) or as
// the view shows them (line number, interval and text, tab-separated, UTF-8 after a
// byte-order mark, CR LF ends).
#pragma once

#include <atomic>
#include <cstdint>

#include "document/file.h"
#include "document/log_line.h"
#include "document/progress_listener.h"

enum class CRowFormat { kAsInLog, kAsShown };

// Where the bytes go; Write returns 1, or 0 when it failed (the export then stops).
class CRowSink {
public:
    virtual ~CRowSink() = default;
    virtual int Write(const char* bytes, uint32_t length) = 0;
};

struct CRowExport {
    CRowFormat format = CRowFormat::kAsInLog;
    unsigned codePage = 0;  // the rows' code page, for the text as shown
    int intervalCheck = 0;  // the interval cells as the view draws them
    int32_t intervalTime = 0;
    bool hideEscapes = false;  // the text as shown without its escape sequences (colour codes on)
};

// Writes every row of lines, read from file, to sink. 1, 0 when a read, a write or memory
// failed, or kScanCancelled (-2) when *cancel became non-zero (checked every few thousand rows).
int ExportRows(CFile* file, const CLogLineList& lines, const CRowExport& how, CRowSink* sink,
               const std::atomic<int>* cancel = nullptr, CProgressListener* listener = nullptr);
