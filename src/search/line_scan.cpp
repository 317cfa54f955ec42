// Search and extraction scans: a window over the file and a byte-level matcher, so a scan
// over a large log costs about one pass of reading and one substring search per line.
#include "search/line_scan.h"

#include "search/line_matcher.h"
#include "search/line_window.h"

namespace {

constexpr int32_t kProgressRows = 1 << 16;

// The matcher and the window of one scan.
class CLineTester {
public:
    CLineTester(CFile* file, const CSearchCondition& condition, unsigned codePage)
        : m_window(file), m_matcher(condition, codePage) {}
    int Prepare() { return m_matcher.Prepare(); }
    int Test(const CLogLine& line, bool backward) {
        if (line.length <= 0) return 0;
        uint32_t got = 0;
        const char* bytes = m_window.Get(line.offset, static_cast<uint32_t>(line.length), backward, &got);
        return bytes != nullptr && m_matcher.Matches(bytes, got);
    }

private:
    CLineWindow m_window;
    CLineMatcher m_matcher;
};

void Report(CProgressListener* listener, int64_t done, int64_t total) {
    if (listener != nullptr) listener->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
}

}  // namespace

int32_t SearchForward(CFile* file, const CLogLineList& lines, int32_t start, const CSearchCondition& condition,
                      unsigned codePage, CProgressListener* listener) {
    if (condition.Count() == 0) return -1;
    CLineTester tester(file, condition, codePage);
    if (!tester.Prepare()) return -1;
    int32_t count = lines.Count();
    int32_t first = start < 0 ? 0 : start;
    for (int32_t i = first; i < count; ++i) {
        if ((i - first) % kProgressRows == 0) Report(listener, i - first, count - first);
        if (tester.Test(lines.Entries()[i], false)) return i;
    }
    return -1;
}

int32_t SearchBackward(CFile* file, const CLogLineList& lines, int32_t start, const CSearchCondition& condition,
                       unsigned codePage, CProgressListener* listener) {
    if (condition.Count() == 0 || start < 0) return -1;
    CLineTester tester(file, condition, codePage);
    if (!tester.Prepare()) return -1;
    int32_t first = start < lines.Count() - 1 ? start : lines.Count() - 1;
    for (int32_t i = first; i >= 0; --i) {
        if ((first - i) % kProgressRows == 0) Report(listener, first - i, first + 1);
        if (tester.Test(lines.Entries()[i], true)) return i;
    }
    return -1;
}

int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, CProgressListener* listener) {
    CLineTester tester(file, condition, codePage);
    if (!tester.Prepare()) return 0;
    if (condition.Count() == 0) return 1;
    int32_t count = source.Count();
    const CLogLine* lines = source.Entries();
    for (int32_t i = 0; i < count; ++i) {
        if (i % kProgressRows == 0) Report(listener, i, count);
        if (!tester.Test(lines[i], false)) continue;
        if (before > 0) {
            for (int32_t k = i > before ? i - before : 0; k < i; ++k) result->Append(lines[k]);
        }
        result->Append(lines[i]);
        if (after > 0) {
            int32_t last = count - 1 - i > after ? i + after : count - 1;
            for (int32_t k = i + 1; k <= last; ++k) result->Append(lines[k]);
        }
    }
    return 1;
}

int CopyLineList(const CLogLineList& from, CLogLineList* to) {
    for (int32_t i = 0; i < from.Count(); ++i) {
        if (!to->Append(from.Entries()[i])) return 0;
    }
    return 1;
}
