// The background jobs: each runs one core operation with the runner's cancel flag and
// progress listener.
#include "shell/scan_jobs.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "document/row_text.h"
#include "search/line_scan.h"
#include "shell/job_runner.h"

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

UINT CLoadJob::DoneMessage() const { return UM_LOAD_END; }

void CSearchJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CScanOptions options;
    options.listener = progress;
    options.cancel = cancel;
    options.hideEscapes = hideEscapes;
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

void CCopyJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    text = RangeText(*rows, file, range, codePage, hideEscapes, cancel, progress);
}

CCopyJob::~CCopyJob() { std::free(text); }
