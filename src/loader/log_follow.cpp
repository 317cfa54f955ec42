// Incremental indexing of appended bytes with the sequential loader's rules.
#include "loader/log_follow.h"

#include "document/encoding.h"
#include "loader/error_scanner.h"
#include "document/line_source.h"

void StartFollowing(const CLogLineList& lines, uint64_t size, CFollowState* state) {
    *state = CFollowState();
    state->size = size;
    int32_t count = lines.Count();
    if (count == 0) return;
    const CLogLine& last = lines.Entries()[count - 1];
    state->lastOffset = last.offset;
    state->lastNumber = last.lineNumber;
    if (count > 1) state->before = lines.Entries()[count - 2].timeStamp;
}

int FollowLogLines(CFile* file, const CLoadRequest& request, CFollowState* state, CLogLineList* lines,
                   CLogLineList* errors) {
    lines->Free();
    errors->Free();
    uint64_t size = file->Size();
    CErrorScanner scanner(request.keywords, request.codePage);
    CLineSource source(file, size, request.blockSize < 2 ? 2 : request.blockSize, request.maxLineLength, nullptr);
    source.SetLayout(IsUtf16CodePage(request.codePage) ? 2 : 1, request.codePage == kCodePageUtf16Be,
                     FirstLineOrigin(file, request.codePage));
    if (!scanner.Prepare() || !source.Init()) return 0;
    source.Seek(state->lastOffset);
    CFollowState next = *state;
    CTimeStamp last = state->before;
    int32_t number = state->lastNumber;
    CLineView line;
    while (source.Next(~0ull, &line)) {
        if (request.cancel != nullptr && request.cancel->load() != 0) return 0;
        next.lastOffset = line.offset;
        next.lastNumber = number;
        next.before = last;
        CTimeStamp own;
        if (ParseLineTimeStamp(line, request, &own)) last = own;
        if (!lines->Append(number, last, line.offset, static_cast<int32_t>(line.length))) return 0;
        if (scanner.HasError(line.bytes, line.length) &&
            !errors->Append(number, last, line.offset, static_cast<int32_t>(line.length))) {
            return 0;
        }
        ++number;
    }
    if (source.GetStatus() != CLineSource::kEnd) return 0;
    next.size = size;
    *state = next;
    return 1;
}
