// Matching rows of several logs: a window and a matcher for each log met, since the logs
// differ in their files and may differ in their code pages.
#include "search/row_matcher.h"

#include <new>

CRowMatcher::CRowMatcher(const CSearchCondition& condition, const CLogReaders& readers, bool hideEscapes)
    : m_condition(condition), m_readers(readers), m_hideEscapes(hideEscapes) {}

CRowMatcher::~CRowMatcher() = default;

int CRowMatcher::Matches(int log, const CLogLine& line, bool backward) {
    if (log < 0 || log >= m_readers.Count() || line.length <= 0) return 0;
    if (m_logs == nullptr) {
        m_logs.reset(new (std::nothrow) CLogScan[static_cast<size_t>(m_readers.Count())]);
        if (m_logs == nullptr) return -1;
    }
    CLogScan& scan = m_logs[log];
    if (scan.matcher == nullptr) {
        scan.window.reset(new (std::nothrow) CLineWindow(m_readers.File(log)));
        scan.matcher.reset(new (std::nothrow) CLineMatcher(m_condition, m_readers.CodePage(log), m_hideEscapes));
        if (scan.window == nullptr || scan.matcher == nullptr || !scan.matcher->Prepare()) {
            scan.matcher.reset();
            return -1;
        }
    }
    uint32_t got = 0;
    const char* bytes = scan.window->Get(line.offset, static_cast<uint32_t>(line.length), backward, &got);
    if (bytes == nullptr || got == 0) return 0;
    return scan.matcher->Matches(bytes, got, m_hideEscapes && scan.window->NoEscapeByte());
}
