// The timeline and --at-time of quillon-cli, over the core's time buckets and navigation.
#pragma once

#include <cstdint>

#include "document/log_line.h"
#include "document/row_source.h"
#include "stamps/stamp_clock.h"
#include "progress_bar.h"

// Prints one line a bucket ("start<TAB>rows<TAB>error rows"). Returns the exit status,
// after telling on standard error why there is nothing to print (log names the log). The
// bar shows the counting and is gone before the first line.
int PrintTimeline(const CLogLineList& lines, const CLogLineList& errors, int32_t bucketSeconds, const char* log,
                  CProgressBar* bar);
// The same over any rows (errors: the error rows by the rows' line numbers).
int PrintTimeline(const CRowSource& rows, const CLogLineList& errors, int32_t bucketSeconds, const char* log,
                  CProgressBar* bar);

// The first row of lines at or after the query, or -1.
int64_t RowAtTime(const CLogLineList& lines, const CTimeQuery& query);
