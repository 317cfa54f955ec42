// Search and extraction over rows that come from several logs (CRowLogs, a merged view and
// what is taken from it): the rows are walked through their source a batch at a time, and
// each is read and matched in its own log's file and code page (CRowMatcher), unless the
// rows' logs scan them better themselves (CRowScans). They answer as the scans of
// line_scan.h do on one log - the same rows, return codes and row limit - on the calling
// thread alone (rows with scans of their own may use the scans' helper thread too). Progress: rows examined of rows to
// examine. Cancel: checked once a batch; a cancelled scan returns kScanCancelled having changed nothing.
#pragma once

#include <cstdint>

#include "document/log_line.h"
#include "document/row_source.h"
#include "search/line_scan.h"
#include "search/row_logs.h"
#include "search/search_condition.h"

// The scans of rows that can do better than a walk over them (CRowLogs::Scans): each
// answers exactly as the function of the same name below does on the same rows.
class CRowScans {
public:
    virtual ~CRowScans() = default;
    virtual int64_t Search(const CLogReaders& readers, int64_t start, CSearchDirection direction,
                           const CSearchCondition& condition, const CScanOptions& options) const = 0;
    virtual int Extract(const CLogReaders& readers, const CSearchCondition& condition, int32_t before, int32_t after,
                        CLogLineList* result, const CScanOptions& options) const = 0;
};

// The first row from start on (backward: from min(start, Count() - 1) down) that matches;
// -1 when none does, memory ran out, or start is negative going backward; kScanCancelled.
int64_t SearchLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, int64_t start,
                      CSearchDirection direction, const CSearchCondition& condition, const CScanOptions& options);

// Appends to result, in row order, the entry (as the rows give it) of every matching row,
// each with up to before rows above it and after rows below it, a row once per hit that
// reaches it. 1; 0 when memory ran out; kScanCancelled; kExtractTooLarge past options.maxRows
// (0: the larger of kExtractRowLimit and the row count). result is unchanged unless 1.
int ExtractLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers,
                   const CSearchCondition& condition, int32_t before, int32_t after, CLogLineList* result,
                   const CScanOptions& options);
