// The line scans behind search, extraction and the error log, free of any window so that
// the application, quillon-cli and the tests share them. Each tests every line whole,
// however long, decoded with the given code page, against a CSearchCondition.
// file: the log the list's entries point into, read with explicit offsets (not through its
// line cache) by the calling thread only. Each read moves its file pointer, so a GUI that
// draws from the same CLogFile while a scan runs elsewhere gives the scan a handle of its
// own (OpenAnotherHandle).
// Threads: a scan runs on the calling thread. When its lines are large it also uses one
// helper thread (CHelperThread), which reads through a handle of its own (OpenAnotherHandle);
// the answer is always exactly that of the calling thread alone. The caller keeps file,
// lines, condition and result untouched until the scan returns.
// Progress: listener->OnProgress(rows examined, rows to examine) now and then, from the
// calling thread only, never decreasing.
// Cancel: another thread sets *cancel to non-zero; the scan stops within one block of rows
// (a line is always tested whole) and returns kScanCancelled, having changed nothing.
#pragma once

#include <atomic>
#include <cstdint>

#include "document/file.h"
#include "document/log_line.h"
#include "document/progress_listener.h"
#include "search/line_window.h"
#include "search/search_condition.h"

// Returned by a search or an extraction that was cancelled.
constexpr int kScanCancelled = -2;
// Returned by an extraction whose result would pass its row limit.
constexpr int kExtractTooLarge = -3;

// Lines holding more than this (a row counting as 64 bytes besides its own) are scanned on two cores.
constexpr uint64_t kTwoCoreScanBytes = 8u << 20;
// The default row limit of an extraction: 64 Mi rows, 2 GiB of entries.
constexpr int64_t kExtractRowLimit = 64ll << 20;

struct CScanOptions {
    CProgressListener* listener = nullptr;
    const std::atomic<int>* cancel = nullptr;
    // 0: a helper thread when the machine runs two threads at once and the lines hold more
    // than twoCoreBytes; 1: the calling thread only; 2: a helper whenever the lines hold
    // more than twoCoreBytes (tests force it with 0).
    int threads = 0;
    uint64_t twoCoreBytes = kTwoCoreScanBytes;
    uint32_t windowSize = kLineWindowSize;  // bytes read at once; 0: the default
    uint64_t chunkBytes = 0;                // what a thread takes at once (bytes, 64 a row besides); 0: 1 MiB
    // Lines are matched as the view shows them with colour codes on: without their escape
    // sequences (document/escape_codes.h).
    bool hideEscapes = false;
    // Rows are first looked through for the literals the condition needs (CLinePrefilter);
    // off, each row is tested on its own (the same answer, as the tests check).
    bool prefilter = true;
    // Extraction: the most rows one call may append; 0: the larger of kExtractRowLimit and
    // the source's row count, so that an extraction without context lines is never too large.
    int64_t maxRows = 0;
};

// The first index from start (0 when negative) to the end of lines whose text matches; -1
// when none does or memory ran out; kScanCancelled. There is no wrap-around.
int64_t SearchForward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                      unsigned codePage, const CScanOptions& options);
int64_t SearchForward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                      unsigned codePage, CProgressListener* listener = nullptr,
                      const std::atomic<int>* cancel = nullptr);
// The same from min(start, count - 1) down to 0, finding the highest matching index; -1 for
// a negative start.
int64_t SearchBackward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                       unsigned codePage, const CScanOptions& options);
int64_t SearchBackward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                       unsigned codePage, CProgressListener* listener = nullptr,
                       const std::atomic<int>* cancel = nullptr);

// The first matching index within [first, end) of lines, from first up, or backward from
// end - 1 down (the highest); -1 when none does, the range is empty or memory ran out;
// kScanCancelled. For scans that take a log's rows a stretch at a time.
int64_t SearchRange(CFile* file, const CLogLineList& lines, int64_t first, int64_t end, CSearchDirection direction,
                    const CSearchCondition& condition, unsigned codePage, const CScanOptions& options);

// Appends to result, in order, every line of source that matches, each preceded by up to
// before lines and followed by up to after lines of source (0 or less: none). Context is
// not merged: when hits lie close together a line is appended once per hit that reaches it.
// Returns 1 when done; 0 when memory for the scan or for the rows ran
// out; kScanCancelled; kExtractTooLarge when the rows to append would pass options.maxRows
// (found before they are appended, so the cost stays within the limit). Whenever it does
// not return 1, result is left as it was.
int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, const CScanOptions& options);
int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, CProgressListener* listener = nullptr,
                 const std::atomic<int>* cancel = nullptr);

// Appends a copy of every entry of from to to (the error-log view's list); 1, or 0 when an
// append failed (the entries before it are kept).
int CopyLineList(const CLogLineList& from, CLogLineList* to);
