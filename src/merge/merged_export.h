// What is copied and saved of rows that come from several logs (CRowLogs): each row's text
// read from its own log and decoded in that log's code page, for the clipboard; and the
// rows written out for Save Rows As, as they are in their logs or as shown with a column
// naming each row's log.
#pragma once

#include <atomic>
#include <cstdint>

#include "document/progress_listener.h"
#include "document/row_export.h"
#include "document/row_source.h"
#include "document/row_text.h"
#include "search/row_logs.h"

// The range's text as RangeText (document/row_text.h) gives it for one log, each row read
// through its log's reader. A new NUL-terminated buffer (std::free), or null when out of
// memory or cancelled.
char16_t* LogRowsText(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, const CRowRange& range,
                      bool hideEscapes, const std::atomic<int>* cancel = nullptr,
                      CProgressListener* listener = nullptr);

// Writes every row to sink as ExportRows does (its codePage unused: each log's own is),
// each row's bytes read through its log's reader; as shown, the log's name (names[log],
// UTF-8) stands in a column of its own after the interval. 1, 0 when a read, a write or
// memory failed, or kScanCancelled (-2).
int ExportLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, const char* const* names,
                  const CRowExport& how, CRowSink* sink, const std::atomic<int>* cancel = nullptr,
                  CProgressListener* listener = nullptr);
