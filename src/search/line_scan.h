// The line scans behind search, extraction and the error log, free of any window so that
// the application, quillon-cli and the tests share them. Each tests every line whole,
// however long, decoded with the given code page, against a CSearchCondition.
// file: the log the list's entries point into (read directly, not through its line cache).
// listener (may be null): OnProgress(rows examined, rows to examine) now and then.
#pragma once

#include <cstdint>

#include "document/file.h"
#include "document/log_line.h"
#include "document/progress_listener.h"
#include "search/search_condition.h"

// The first index from start (0 when negative) to the end of lines whose text matches, or
// -1 when none does or memory ran out. There is no wrap-around.
int32_t SearchForward(CFile* file, const CLogLineList& lines, int32_t start, const CSearchCondition& condition,
                      unsigned codePage, CProgressListener* listener = nullptr);
// The same from min(start, count - 1) down to 0; -1 for a negative start.
int32_t SearchBackward(CFile* file, const CLogLineList& lines, int32_t start, const CSearchCondition& condition,
                       unsigned codePage, CProgressListener* listener = nullptr);

// Appends to result, in order, every line of source that matches, each preceded by up to
// before lines and followed by up to after lines of source (0 or less: none). Context is
// not merged: when hits lie close together a line is appended once per hit that reaches it.
// Returns 1, or 0 when the scan's buffers cannot be allocated (result unchanged). A failed
// append drops that line.
int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, CProgressListener* listener = nullptr);

// Appends a copy of every entry of from to to (the error-log view's list); 1, or 0 when an
// append failed (the entries before it are kept).
int CopyLineList(const CLogLineList& from, CLogLineList* to);
