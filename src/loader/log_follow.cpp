// Incremental indexing of appended bytes with the sequential loader's rules.
#include "loader/log_follow.h"

#include "document/encoding.h"
#include "loader/error_scanner.h"
#include "document/line_source.h"

namespace {

// The entry of a non-empty list that following reads again from: the last one, or the line
// before it when it is a lone byte, and then back to the first piece of a cut line (a
// seek into a later piece would skip the rest of the line). A line of the maximum length
// that ends with its break looks like a piece and is read again too, which changes nothing.
// Its entry goes to *at and the one before (if any) to *before; the index is returned.
int64_t RestartEntry(const CLogLineList& lines, uint32_t maxLineLength, CLogLine* at, CLogLine* before) {
    int64_t k = lines.Count() - 1;
    lines.Get(k, at);
    bool hasBefore = k > 0 && lines.Get(k - 1, before);
    if (hasBefore && at->length == 1) {
        *at = *before;
        hasBefore = --k > 0 && lines.Get(k - 1, before);
    }
    uint32_t piece = maxLineLength > 1 ? maxLineLength & ~1u : 1;  // UTF-16 pieces hold whole units
    while (hasBefore && static_cast<uint32_t>(before->length) >= piece &&
           before->offset + static_cast<uint32_t>(before->length) == at->offset) {
        *at = *before;
        hasBefore = --k > 0 && lines.Get(k - 1, before);
    }
    return k;
}

void SetRestart(const CLogLineList& lines, uint32_t maxLineLength, CFollowState* state) {
    CLogLine at;
    CLogLine before;
    if (RestartEntry(lines, maxLineLength, &at, &before) > 0) state->before = before.timeStamp;
    state->lastOffset = at.offset;
    state->lastNumber = at.lineNumber;
}

// Progress of an append being indexed, as bytes done of the bytes to read, and its cancel.
class CAppendProgress : public CBlockListener {
public:
    CAppendProgress(const CLoadRequest& r, uint64_t from, uint64_t size) : m_request(r), m_from(from), m_size(size) {}
    int OnBlock(uint64_t blockStart) override {
        if (m_request.cancel != nullptr && m_request.cancel->load() != 0) return 0;
        uint64_t done = blockStart > m_from ? blockStart - m_from : 0;
        if (m_request.listener != nullptr) m_request.listener->OnProgress(done, m_size - m_from);
        return 1;
    }

private:
    const CLoadRequest& m_request;
    uint64_t m_from;
    uint64_t m_size;
};

}  // namespace

void StartFollowing(const CLogLineList& lines, uint64_t size, CFollowState* state, uint32_t maxLineLength) {
    *state = CFollowState();
    state->size = size;
    if (lines.Count() > 0) SetRestart(lines, maxLineLength, state);
}

int FollowLogLines(CFile* file, const CLoadRequest& request, CFollowState* state, CLogLineList* lines,
                   CLogLineList* errors) {
    lines->Free();
    errors->Free();
    if (request.result != nullptr) *request.result = CLoadResult();
    uint64_t size = file->Size();
    CErrorScanner scanner(request.keywords, request.codePage);
    CAppendProgress progress(request, state->lastOffset < size ? state->lastOffset : size, size);
    CLineSource source(file, size, request.blockSize < 2 ? 2 : request.blockSize, request.maxLineLength, &progress);
    source.SetLayout(IsUtf16CodePage(request.codePage) ? 2 : 1, request.codePage == kCodePageUtf16Be,
                     FirstLineOrigin(file, request.codePage));
    if (!scanner.Prepare() || !source.Init()) return 0;
    source.Seek(state->lastOffset);
    CFollowState next = *state;
    CTimeStamp last = state->before;
    int64_t number = state->lastNumber;
    CLineView line;
    while (source.Next(~0ull, &line)) {
        if (request.cancel != nullptr && request.cancel->load() != 0) return 0;
        CTimeStamp own;
        if (ParseLineTimeStamp(line, request, &own)) last = own;
        if (!lines->Append(number, last, line.offset, static_cast<int32_t>(line.length)) ||
            (scanner.HasError(line.bytes, line.length) &&
             !errors->Append(number, last, line.offset, static_cast<int32_t>(line.length)))) {
            if (request.result != nullptr) request.result->status = CLoadStatus::kNoMemory;
            return 0;
        }
        ++number;
    }
    if (source.GetStatus() != CLineSource::kEnd) return 0;
    // The lines read begin with the one read again, so the next restart lies among them.
    if (lines->Count() > 0) SetRestart(*lines, request.maxLineLength, &next);
    next.size = size;
    *state = next;
    return 1;
}
