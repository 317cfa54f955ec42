// The answer a condition should give on a decoded line, worked out text by text: each text
// alone in a condition of its own tells whether it occurs, and the test joins the answers.
#pragma once

#include "search/search_condition.h"

inline int OracleMatches(const CSearchCondition& condition, const char16_t* text, int n) {
    if (condition.Count() == 0 || n <= 0) return 0;
    bool all = condition.MatchAll() != 0;
    bool anyPositive = false;
    bool positives = all;
    for (int i = 0; i < condition.Count(); ++i) {
        CSearchCondition alone;
        if (alone.Add(condition.WideText(i, nullptr), condition.Options(i) & ~kNot) != 1) return -1;
        bool occurs = alone.Matches(text, n) == 1;
        if (condition.IsNot(i)) {
            if (occurs) return 0;
            continue;
        }
        anyPositive = true;
        positives = all ? positives && occurs : positives || occurs;
    }
    return !anyPositive || positives ? 1 : 0;
}
