// MergeLogs: the k-way merge of already-loaded indexes into a CMergedRows, in one pass
// (merge/merged_rows.h). Long work: run it on the background runner.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/progress_listener.h"
#include "merge/merge_change.h"
#include "merge/merged_rows.h"

// Returned when the merge was cancelled (the same value as the scans' kScanCancelled).
constexpr int kMergeCancelled = -2;

// One log to merge: its index, its file (borrowed, for the rows' bytes and, when writtenDay
// is not given, the day it was last written) and the minutes added to its times.
struct CMergeInput {
    std::shared_ptr<const CLogLineList> index;
    CLogFile* file = nullptr;
    int32_t offsetMinutes = 0;
    unsigned codePage = 0;                     // kept with the log, for whoever reads its rows
    int64_t writtenDay = CStampClock::kNoDay;  // kNoDay: asked of file
    const CLogLineList* errors = nullptr;      // its error lines in line-number order, or none
};

// Merges count logs (1 to kMaxMergedLogs) in the order given, by the rule of
// merge/merge_keys.h: rows by key, equal keys in the logs' order, then each log's own.
// Returns 1 with *rows; 0 when memory ran out or the inputs are not 1 to 64 logs with an
// index each; kMergeCancelled when *cancel was set (looked at every 1 Mi rows). Progress:
// listener->OnProgress(rows merged, all rows), from the calling thread. errorRows, when
// given (empty), takes on the way what MergedErrorPicks (merge/merged_sources.h) makes of
// the logs' errors: their rows numbered by merged row, stamped with their keys.
int MergeLogs(const CMergeInput* logs, int count, std::unique_ptr<CMergedRows>* rows,
              CProgressListener* listener = nullptr, const std::atomic<int>* cancel = nullptr,
              CLogLineList* errorRows = nullptr);

// Merges in the rows the logs' indexes hold beyond the merged rows: a followed log's new
// rows, after its index took them (ReplaceTail). replacedFrom[log]: the first of its merged
// rows whose entry may have changed (its old last row, read again), or LogRows(log) when
// none did. New rows go to their place in time - after the last rows when their keys are
// the latest, else among the earlier rows, which move down - and the rows from the first one
// that moved are merged again: the cost is the new rows and the rows after the place of the
// earliest. A log that had nothing to date it by is dated again from its rows (all of them
// then keyed again). change: how the rows moved. 1; 0 when memory ran out (the merge is then
// as it was, its logs' new rows not in it). UI thread, while nothing else reads rows.
int ExtendMerge(CMergedRows* rows, const int64_t* replacedFrom, CMergeChange* change);
