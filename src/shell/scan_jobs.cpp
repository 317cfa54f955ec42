// The background jobs: each runs one core operation with the runner's cancel flag and
// progress listener.
#include "shell/scan_jobs.h"

#include <cstdlib>
#include <new>

#include "document/row_text.h"
#include "search/line_scan.h"
#include "shell/job_runner.h"

namespace {

// A few milliseconds of reading and matching, even under Wine.
constexpr int32_t kQuickRows = 100000;
constexpr uint64_t kQuickBytes = 2u << 20;
constexpr int32_t kErrorCopyBlock = 65536;

}  // namespace

bool IsQuickScan(const CLogLineList& lines, int64_t first, int64_t last) {
    if (first < 0) first = 0;
    if (last >= lines.Count()) last = lines.Count() - 1;
    if (last - first >= kQuickRows) return false;
    uint64_t bytes = 0;
    for (int64_t i = first; i <= last; ++i) bytes += static_cast<uint32_t>(lines.Entries()[i].length);
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
    result = direction == CSearchDirection::kNext
                 ? SearchForward(file, *lines, start, *condition, codePage, progress, cancel)
                 : SearchBackward(file, *lines, start, *condition, codePage, progress, cancel);
}

void CExtractJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    lines.reset(new (std::nothrow) CLogLineList());
    status = lines != nullptr
                 ? ExtractLines(file, *source, *condition, codePage, before, after, lines.get(), progress, cancel)
                 : 0;
}

void CErrorLogJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    lines.reset(new (std::nothrow) CLogLineList());
    int32_t count = source->Count();
    status = lines != nullptr && lines->Reserve(count) ? 1 : 0;
    // In blocks, so that a cancel or the end of the program need not wait for millions.
    for (int32_t done = 0; status == 1 && done < count;) {
        if (cancel != nullptr && cancel->load() != 0) {
            status = kScanCancelled;
            break;
        }
        if (progress != nullptr) progress->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(count));
        int32_t n = count - done < kErrorCopyBlock ? count - done : kErrorCopyBlock;
        if (!lines->Append(source->Entries() + done, n)) status = 0;
        done += n;
    }
}

void CFollowJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CLoadRequest request;
    request.codePage = codePage;
    request.keywords = keywords;
    request.stamps = &stamps;
    request.cancel = cancel;
    request.listener = progress;
    from = state.lastNumber;
    status = ownFile != nullptr && ownFile->RefreshSize()
                 ? FollowLogLines(ownFile.get(), request, &state, &lines, &errors)
                 : 0;
    if (status != 1 && cancel != nullptr && cancel->load() != 0) status = kScanCancelled;
}

void CCopyJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    text = RangeText(*rows, file, range, codePage, cancel, progress);
}

CCopyJob::~CCopyJob() { std::free(text); }
