// CRowMatcher: whether rows that come from several logs satisfy a condition, each row read
// through a window of its log's reader and matched in its log's code page. One thread; the
// readers and the condition stay unchanged while it is used.
#pragma once

#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "search/line_matcher.h"
#include "search/line_window.h"
#include "search/row_logs.h"
#include "search/search_condition.h"

class CRowMatcher {
public:
    // hideEscapes: rows are matched as the view shows them with colour codes on.
    CRowMatcher(const CSearchCondition& condition, const CLogReaders& readers, bool hideEscapes);
    ~CRowMatcher();
    CRowMatcher(const CRowMatcher&) = delete;
    CRowMatcher& operator=(const CRowMatcher&) = delete;

    // 1 when the row (its entry line, from log) satisfies the condition, 0 when not or when
    // its bytes cannot be read, -1 when memory ran out. backward: the rows are met going up.
    int Matches(int log, const CLogLine& line, bool backward = false);
    const CSearchCondition& Condition() const { return m_condition; }

private:
    // Each log's window and matcher, made when its first row is met: a log whose rows the
    // scan never reaches costs nothing.
    struct CLogScan {
        std::unique_ptr<CLineWindow> window;
        std::unique_ptr<CLineMatcher> matcher;
    };
    const CSearchCondition& m_condition;
    const CLogReaders& m_readers;
    bool m_hideEscapes;
    std::unique_ptr<CLogScan[]> m_logs;
};
