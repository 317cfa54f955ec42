// CStampRules: which time stamps a load recognises beyond the line-start recogniser - the
// user's patterns and the built-in forms - and ReadLineStamp, the one entry the loader, the
// follower and the console tool use for a line's own stamp. Plain data: a load request
// carries a copy or a pointer that stays valid and unchanged while the load runs.
#pragma once

#include "stamps/stamp_forms.h"
#include "stamps/stamp_pattern.h"
#include "stamps/time_stamp.h"

constexpr int kMaxStampPatterns = 16;

struct CStampRules {
    bool moreForms = false;  // the built-in forms, a stamp after a prefix, epoch times
    int patternCount = 0;
    CStampPattern patterns[kMaxStampPatterns];

    // Appends a pattern that compiled. 1, or 0 when the list is full or the pattern is not valid.
    int AddPattern(const CStampPattern& pattern);
    bool IsBasic() const { return !moreForms && patternCount == 0; }
};

// A line's own stamp: the line-start recogniser first, always and unchanged; only when it
// finds none, the user's patterns in order, then the built-in forms. rules null (or basic)
// is the line-start recogniser alone. 1 and *stamp (and *form when not null), else 0. hint:
// one for each run of lines of a log read in order (not shared between threads), or null.
int ReadLineStamp(const CStampRules* rules, const char* bytes, int length, CTimeStamp* stamp, StampForm* form = nullptr,
                  CStampHint* hint = nullptr);

// What a load found: the form of the first stamp and the rows with a stamp of their own.
struct CStampCount {
    StampForm firstForm = StampForm::kNone;
    int64_t stamped = 0;
};
