// Search and extraction on a merged view at the speed of the one-log scans: each log's own
// index is scanned (search/line_scan.h: the literal prefilter, a helper thread for large
// inputs) and its hits are put in the merged order (CMergedRows::RowsOf). The answers are
// those of SearchLogRows and ExtractLogRows (search/row_scan.h) walking the merged rows - the
// same rows, entries, return codes and row limit - as the tests hold them to.
// Threads, progress and cancel: as line_scan.h; the logs are read through readers (indexed
// by log), untouched by anyone else while the scan runs.
#pragma once

#include <cstdint>

#include "merge/merged_rows.h"
#include "search/line_scan.h"
#include "search/row_logs.h"
#include "search/search_condition.h"

// The first merged row from start on (backward: from min(start, Count() - 1) down) that
// matches; -1 when none does, memory ran out or start is negative going backward;
// kScanCancelled. The rows are searched a stretch at a time, growing fourfold from
// firstStretch rows (tests make it small), so that a near hit is found soon and a far one at
// full speed.
constexpr int64_t kFirstMergedStretch = int64_t{1} << 16;
int64_t SearchMergedView(const CMergedRows& rows, const CLogReaders& readers, int64_t start, CSearchDirection direction,
                         const CSearchCondition& condition, const CScanOptions& options,
                         int64_t firstStretch = kFirstMergedStretch);

// Appends to result the entry (as CMergedTimeRows gives it) of every matching merged row,
// each with up to before rows above it and after rows below it in the merged order, a row
// once per hit that reaches it. 1; 0 when memory ran out; kScanCancelled; kExtractTooLarge
// past options.maxRows (0: the larger of kExtractRowLimit and the row count). result is
// unchanged unless 1.
int ExtractMergedView(const CMergedRows& rows, const CLogReaders& readers, const CSearchCondition& condition,
                      int32_t before, int32_t after, CLogLineList* result, const CScanOptions& options);
