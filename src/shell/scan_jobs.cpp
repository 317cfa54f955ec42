// The background jobs: each runs one core operation with the runner's cancel flag and
// progress listener.
#include "shell/scan_jobs.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "document/row_text.h"
#include "loader/log_loader.h"
#include "merge/log_merge.h"
#include "merge/merged_export.h"
#include "search/line_scan.h"
#include "search/row_scan.h"
#include "shell/job_runner.h"
#include "shell/merged_logs.h"

namespace {

// A few milliseconds of reading and matching, even under Wine.
constexpr int64_t kQuickRows = 100000;
constexpr uint64_t kQuickBytes = 2u << 20;
constexpr int64_t kErrorCopyBlock = 65536;

}  // namespace

bool IsQuickScan(const CLogLineList& lines, int64_t first, int64_t last) {
    if (first < 0) first = 0;
    if (last >= lines.Count()) last = lines.Count() - 1;
    if (last - first >= kQuickRows) return false;
    uint64_t bytes = 0;
    CLogLineReader reader(lines, first);
    CLogLine line;
    for (int64_t i = first; i <= last && reader.Next(&line); ++i) bytes += static_cast<uint32_t>(line.length);
    return bytes <= kQuickBytes;
}

bool IsQuickScan(const CRowSource& rows, int64_t first, int64_t last) {
    if (first < 0) first = 0;
    if (last >= rows.Count()) last = rows.Count() - 1;
    if (last - first >= kQuickRows) return false;
    uint64_t bytes = 0;
    CRowWalker walker(rows, CRow(first));
    CLogLine line;
    for (int64_t i = first; i <= last && walker.Next(&line); ++i) bytes += static_cast<uint32_t>(line.length);
    return bytes <= kQuickBytes;
}

void CLoadJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CLoadRequest request;
    request.codePage = codePage;
    request.keywords = &keywords;
    request.listener = progress;
    request.cancel = cancel;
    request.stamps = &stamps;
    request.stampCount = &stampCount;
    request.result = &result;
    lines = LoadLogFile(file, request);
    complete = lines != nullptr && result.status == CLoadStatus::kDone && (cancel == nullptr || cancel->load() == 0);
}

// A compressed log's load reports its compressed bytes.
CScanKind CLoadJob::Kind() const {
    return file != nullptr && file->IsPacked() ? CScanKind::kPackedLoad : CScanKind::kLoad;
}

UINT CLoadJob::DoneMessage() const { return UM_LOAD_END; }

void CSearchJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CScanOptions options;
    options.listener = progress;
    options.cancel = cancel;
    options.hideEscapes = hideEscapes;
    if (logs != nullptr) {
        result = SearchLogRows(*rows, *logs, *readers, start, direction, *condition, options);
        return;
    }
    result = direction == CSearchDirection::kNext ? SearchForward(file, *lines, start, *condition, codePage, options)
                                                  : SearchBackward(file, *lines, start, *condition, codePage, options);
}

void CExtractJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    lines.reset(new (std::nothrow) CLogLineList());
    if (lines != nullptr && index != nullptr) lines->ReferTo(index);
    CScanOptions options;
    options.listener = progress;
    options.cancel = cancel;
    options.hideEscapes = hideEscapes;
    if (logs != nullptr) {
        status = lines != nullptr
                     ? ExtractLogRows(*rows, *logs, *readers, *condition, before, after, lines.get(), options)
                     : 0;
        return;
    }
    status =
        lines != nullptr ? ExtractLines(file, *source, *condition, codePage, before, after, lines.get(), options) : 0;
}

void CErrorLogJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    lines.reset(new (std::nothrow) CLogLineList());
    if (lines != nullptr && source->Index() != nullptr) lines->ReferTo(source->Index());
    int64_t count = source->Count();
    status = lines != nullptr ? 1 : 0;
    // In blocks, so that a cancel or the end of the program need not wait for millions.
    for (int64_t done = 0; status == 1 && done < count;) {
        if (cancel != nullptr && cancel->load() != 0) {
            status = kScanCancelled;
            break;
        }
        if (progress != nullptr) progress->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(count));
        int64_t n = count - done < kErrorCopyBlock ? count - done : kErrorCopyBlock;
        if (!lines->Append(*source, done, n)) status = 0;
        done += n;
    }
    if (status == 1) lines->ShrinkToFit();
}

void CTimelineJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    timeline.reset(new (std::nothrow) CTimeline());
    if (timeline == nullptr) return;
    CTimelineRequest request;
    request.rows = rows;
    request.errors = errors;
    request.listener = progress;
    request.cancel = cancel;
    status = timeline->Build(request);
}

namespace {

// A view's rows as a navigation step reads them, telling the progress as it goes (of a
// backward walk too: rows read of all rows).
class CReportingRows : public CRowSource {
public:
    CReportingRows(const CRowSource& rows, CProgressListener* progress) : m_rows(rows), m_progress(progress) {}
    int64_t Count() const override { return m_rows.Count(); }
    bool Entry(CRow row, CLogLine* line) const override { return m_rows.Entry(row, line); }
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override {
        int64_t got = m_rows.ReadRows(first, n, out);
        m_read += got;
        if (m_progress != nullptr) m_progress->OnProgress(std::min(m_read, Count()), Count());
        return got;
    }
    CLogFile* FileOf(CRow row) const override { return m_rows.FileOf(row); }
    CLogFile* File() const override { return m_rows.File(); }

private:
    const CRowSource& m_rows;
    CProgressListener* m_progress;
    mutable int64_t m_read = 0;
};

}  // namespace

void CNavigationJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CReportingRows reporting(*rows, progress);
    row = step(reporting, cancel);
}

void CFollowJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CLoadRequest request;
    request.codePage = codePage;
    request.keywords = keywords;
    request.stamps = &stamps;
    request.cancel = cancel;
    request.listener = progress;
    request.result = &result;
    from = state.lastNumber;
    status = ownFile != nullptr && ownFile->RefreshSize()
                 ? FollowLogLines(ownFile.get(), request, &state, &lines, &errors)
                 : 0;
    if (status != 1 && cancel != nullptr && cancel->load() != 0) status = kScanCancelled;
}

void CMergedFollowJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    status = 1;
    for (int i = 0; i < count && status == 1; ++i) {
        CLog& log = logs[i];
        if (!log.grown) continue;
        CLoadRequest request;
        request.codePage = log.codePage;
        request.keywords = keywords;
        request.stamps = &stamps;
        request.cancel = cancel;
        request.listener = progress;
        request.result = &result;
        log.from = log.state.lastNumber;
        status = log.ownFile != nullptr && log.ownFile->RefreshSize()
                     ? FollowLogLines(log.ownFile.get(), request, &log.state, &log.lines, &log.errors)
                     : 0;
    }
    if (status != 1 && cancel != nullptr && cancel->load() != 0) status = kScanCancelled;
}

void CCopyJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    if (logs != nullptr) {
        text = LogRowsText(*rows, *logs, *readers, range, hideEscapes, cancel, progress);
        return;
    }
    text = RangeText(*rows, file, range, codePage, hideEscapes, cancel, progress);
}

CCopyJob::~CCopyJob() { std::free(text); }

namespace {

// One phase of a job's progress as a part of the whole: [base, base + span) of total.
class CPhaseProgress : public CProgressListener {
public:
    CPhaseProgress(CProgressListener* all, uint64_t base, uint64_t span, uint64_t total)
        : m_all(all), m_base(base), m_span(span), m_total(total) {}
    void OnProgress(uint64_t position, uint64_t total) override {
        if (m_all == nullptr) return;
        uint64_t done = total > 0 ? static_cast<uint64_t>(static_cast<double>(position) / total * m_span) : 0;
        m_all->OnProgress(m_base + (done < m_span ? done : m_span), m_total);
    }

private:
    CProgressListener* m_all;
    uint64_t m_base;
    uint64_t m_span;
    uint64_t m_total;
};

}  // namespace

void CMergeLoadJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    int count = logs->Count();
    // The logs' bytes as read (a compressed log's own, which its load counts: its
    // uncompressed size is not known before), then as much again for the merge.
    uint64_t weights[kMaxMergedLogs] = {};
    uint64_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        weights[i] = logs->File(i).PackedSize();
        bytes += weights[i];
    }
    uint64_t total = 2 * bytes + 1;
    uint64_t done = 0;
    CMergeInput inputs[kMaxMergedLogs];
    for (int i = 0; i < count; ++i) {
        CLogFile& file = logs->File(i);
        CPhaseProgress phase(progress, done, weights[i], total);
        CLoadRequest request;
        request.codePage = logs->CodePage(i);
        request.keywords = &keywords;
        request.listener = &phase;
        request.cancel = cancel;
        request.stamps = &stamps;
        request.result = &result;
        std::unique_ptr<CLogLineList> index = LoadLogFile(&file, request);
        if (cancel != nullptr && cancel->load() != 0) {
            status = kScanCancelled;
            return;
        }
        // A compressed log whose data ends at a damage joins with its rows up to there.
        bool read = result.status == CLoadStatus::kDone || result.status == CLoadStatus::kDamaged;
        if (index == nullptr || !read) {
            tooLarge = result.status == CLoadStatus::kTooLarge ? i : -1;
            return;
        }
        indexes[i] = std::shared_ptr<CLogLineList>(std::move(index));
        inputs[i].index = indexes[i];
        inputs[i].file = &file;
        inputs[i].codePage = request.codePage;
        inputs[i].offsetMinutes = logs->Offset(i);
        done += weights[i];
    }
    CPhaseProgress phase(progress, done, bytes, total);
    std::unique_ptr<CMergedRows> merged;
    // The error rows are made on the merge's way.
    for (int i = 0; i < count; ++i) inputs[i].errors = &logs->File(i).ErrorLines();
    errorRows.reset(new (std::nothrow) CLogLineList());
    if (errorRows == nullptr) return;
    int ok = MergeLogs(inputs, count, &merged, &phase, cancel, errorRows.get());
    if (ok != 1) {
        status = ok == kMergeCancelled ? kScanCancelled : 0;
        return;
    }
    rows = std::shared_ptr<CMergedRows>(std::move(merged));
    status = 1;
}

UINT CMergeLoadJob::DoneMessage() const { return UM_LOAD_END; }

void CMergeAgainJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    status = MergeLogs(inputs, count, &rows, progress, cancel);
}
