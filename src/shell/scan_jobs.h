// The jobs the application hands to its background runner: each holds its inputs (copies,
// or what the UI leaves untouched until the job has ended) and its result, which the UI
// thread applies when the job's end arrives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document/log_file.h"
#include "loader/log_follow.h"
#include "merge/log_merge.h"
#include "document/log_line.h"
#include "document/row_source.h"
#include "document/row_text.h"
#include "keywords/keyword_set.h"
#include "search/row_logs.h"
#include "search/search_condition.h"
#include "search/timeline.h"
#include "shell/scan_worker.h"

class CAppMain;
class CMergedLogs;
class CLogStateKeeper;
class CLogView;

// A job of the application: Apply puts its result in force on the UI thread once it has
// ended (cancelled, failed or done), through the application's entry points.
class CAppJob : public CScanJob {
public:
    virtual void Apply(CAppMain& app) = 0;
};

// True when rows first..last of lines are few and short enough to scan on the UI thread
// without a noticeable pause (the rest goes to the background runner).
bool IsQuickScan(const CLogLineList& lines, int64_t first, int64_t last);
// The same for rows first..last of a source (rows of several logs).
bool IsQuickScan(const CRowSource& rows, int64_t first, int64_t last);

// A job that reads the log through file: a handle of its own (ownFile) in the background,
// or the log's own when it runs on the UI thread (CJobRunner::RunScan chooses). A job over
// rows of several logs (logs set: a merged view's, left alone while it runs) reads them
// through readers instead, which RunScan opens the same way.
class CFileScanJob : public CAppJob {
public:
    CFile* file = nullptr;
    std::unique_ptr<CFile> ownFile;
    const CRowLogs* logs = nullptr;
    std::unique_ptr<CLogReaders> readers;
};

// Indexes every log of a merged set, as CLoadJob one log, then merges them and finds their
// error rows; ends with UM_LOAD_END.
class CMergeLoadJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kMerge; }
    void Apply(CAppMain& app) override;
    UINT DoneMessage() const override;
    bool Uses(const CLogView* v) const override { return v == view; }

    CMergedLogs* logs = nullptr;  // the set: the UI leaves its files alone while the job runs
    CLogView* view = nullptr;
    CLogStateKeeper* states = nullptr;
    CKeywordSet keywords;  // copies, as CLoadJob's
    CStampRules stamps;
    std::shared_ptr<CMergedRows> rows;  // the result, until handed over
    std::shared_ptr<CLogLineList> indexes[kMaxRowLogs];
    std::shared_ptr<CLogLineList> errorRows;
    int status = 0;      // 1, 0 (out of memory), kScanCancelled, or kTooLarge below
    int tooLarge = -1;   // the log whose index would not fit, with result
    CLoadResult result;  // of that log
};

// The logs of a merged set merged again with other time offsets (their indexes as they
// are); the UI thread puts the new merge where the views read the old one.
class CMergeAgainJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kMerge; }
    void Apply(CAppMain& app) override;

    CMergedLogs* logs = nullptr;  // the set, whose merge is replaced
    int count = 0;
    CMergeInput inputs[kMaxRowLogs];  // copies: the indexes are shared, the files borrowed
    int32_t offsets[kMaxRowLogs] = {};
    std::unique_ptr<CMergedRows> rows;  // the result
    int status = 0;                     // as MergeLogs returns it
};

// Indexes the open log for a view; ends with UM_LOAD_END.
class CLoadJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override;
    void Apply(CAppMain& app) override;
    UINT DoneMessage() const override;
    bool Uses(const CLogView* v) const override { return v == view; }

    CLogFile* file = nullptr;
    CLogView* view = nullptr;
    CLogStateKeeper* states = nullptr;  // restores what was kept about the log, once loaded
    unsigned codePage = 0;
    CKeywordSet keywords;                 // a copy: the keyword dialog may change the set in force meanwhile
    CStampRules stamps;                   // a copy, for the same reason
    CStampCount stampCount;               // what the load found
    std::unique_ptr<CLogLineList> lines;  // the result, until handed over
    CLoadResult result;                   // how the load ended (a log too large is refused)
    bool complete = false;                // the whole file was indexed (not cancelled or refused)
};

// A search from a start row forwards or backwards; result is the row, -1, or kScanCancelled.
class CSearchJob : public CFileScanJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kSearch; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }

    const CLogLineList* lines = nullptr;
    const CRowSource* rows = nullptr;  // with logs: the rows searched instead of lines
    const CSearchCondition* condition = nullptr;
    CLogView* view = nullptr;
    int64_t start = 0;
    CSearchDirection direction = CSearchDirection::kNext;
    unsigned codePage = 0;
    bool hideEscapes = false;  // lines are matched as shown with colour codes on
    int64_t result = -1;
    int64_t limitHitsAtStart = 0;  // the condition's count of lines past PCRE2's limits before
};

// An extraction into a new list; status as ExtractLines returns it.
class CExtractJob : public CFileScanJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kExtract; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }

    const CLogLineList* source = nullptr;
    const CRowSource* rows = nullptr;           // with logs: the rows extracted from instead
    std::shared_ptr<const CLogLineList> index;  // the log's index, which the result refers to
    const CSearchCondition* condition = nullptr;
    CLogView* view = nullptr;
    unsigned codePage = 0;
    bool hideEscapes = false;  // lines are matched as shown with colour codes on
    int32_t before = 0;
    int32_t after = 0;
    std::unique_ptr<CLogLineList> lines;  // the result, until a view takes it
    int status = 0;
    int64_t limitHitsAtStart = 0;  // the condition's count of lines past PCRE2's limits before
};

// The copy of the error-line list for the error-log view.
class CErrorLogJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kErrorLog; }
    void Apply(CAppMain& app) override;

    const CLogLineList* source = nullptr;
    std::unique_ptr<CLogLineList> lines;
    int status = 0;
};

// The timeline of a view's rows, for its pane.
class CTimelineJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kTimeline; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }

    CLogView* view = nullptr;
    const CRowSource* rows = nullptr;      // the view's, left alone while the job runs
    const CLogLineList* errors = nullptr;  // the log's error lines
    std::unique_ptr<CTimeline> timeline;
    int status = 0;
};

// A step through a view's rows that may walk many of them: Jump to Time, the next or
// previous slow interval, an error step where the rows are not the log's lines.
class CNavigationJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kNavigate; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }

    CLogView* view = nullptr;
    const CRowSource* rows = nullptr;  // the view's, left alone while the job runs
    // The step over the rows it is given (row, -1 or kScanCancelled).
    std::function<int64_t(const CRowSource& rows, const std::atomic<int>* cancel)> step;
    std::u16string notFound;  // said when there is no row; empty: a beep
    int64_t row = -1;
};

// The lines appended to a followed log since the last time (see FollowLogLines).
class CFollowJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kFollow; }
    void Apply(CAppMain& app) override;
    bool Quiet() const override { return quiet; }

    std::unique_ptr<CFile> ownFile;  // a handle of the job's own on the log
    unsigned codePage = 0;
    const CKeywordSet* keywords = nullptr;  // the application's copy, left alone while the job runs
    CStampRules stamps;
    CFollowState state;  // where the index ends; moved on by the job
    CLogLineList lines;  // the index from state.lastNumber (as it was) on
    CLogLineList errors;
    int64_t from = 0;    // the line number the new entries replace from
    int status = 0;      // 1, 0 (a read failed or memory ran out), or kScanCancelled
    CLoadResult result;  // kNoMemory: the new entries could not be indexed
    bool quiet = true;   // false for much to read: it then shows progress and Cancel
};

// The lines appended to the logs of a merged set since the last time: for each log that
// grew, what CFollowJob reads of one log.
class CMergedFollowJob : public CAppJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kFollow; }
    void Apply(CAppMain& app) override;
    bool Quiet() const override { return quiet; }

    struct CLog {
        bool grown = false;
        std::unique_ptr<CFile> ownFile;  // a handle of the job's own on the log, when it grew
        unsigned codePage = 0;
        CFollowState state;  // where its index ends; moved on by the job
        CLogLineList lines;  // its index from state.lastNumber (as it was) on
        CLogLineList errors;
        int64_t from = 0;  // the line number the new entries replace from
    };
    std::unique_ptr<CLog[]> logs;  // one for each log of the set
    int count = 0;
    const CKeywordSet* keywords = nullptr;  // the follower's copy, left alone while the job runs
    CStampRules stamps;
    int status = 0;      // 1, 0 (a read failed or memory ran out), or kScanCancelled
    CLoadResult result;  // kNoMemory: the new entries could not be indexed
    bool quiet = true;
};

// The text of a selection for the clipboard.
class CCopyJob : public CFileScanJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kCopy; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }
    ~CCopyJob() override;

    const CRowSource* rows = nullptr;
    CLogView* view = nullptr;  // whose rows they are
    unsigned codePage = 0;
    bool hideEscapes = false;  // the rows' text as the view shows it with colour codes on
    CRowRange range;
    char16_t* text = nullptr;  // the result (std::free), null when cancelled or out of memory
};
