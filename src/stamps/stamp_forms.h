// The built-in time-stamp forms beyond the line-start recogniser: the forms real logs write
// (C-library time, access-log time, ISO 8601 with T and a zone, compact dates, dotted times,
// month.day), a stamp after a prefix, and epoch seconds or milliseconds. Only lines the
// line-start recogniser (ParseTimeStamp) finds no stamp in come here, so every stamp it
// finds stays as it is.
//
// Times are kept as the log wrote them: a zone ("Z", "+09:00", "-0700") is read so that the
// form matches, but the time is not converted, as the line-start recogniser does with the
// zone after a fraction. Epoch values carry no wall clock of their own and are shown in UTC.
#pragma once

#include <cstdint>

#include "stamps/time_stamp.h"

enum class StampForm : uint8_t {
    kNone,
    kBasic,        // the line-start recogniser
    kPattern,      // one of the user's patterns
    kCLibrary,     // Sun Dec 04 04:47:44 2005
    kAccessLog,    // 10/Oct/2000:13:55:36 -0700
    kIsoDate,      // 2024-05-06T08:00:00.123456+09:00, 2017-05-16 00:00:00.008, 21/03/04 05:06:07
    kCompactDate,  // 081109 203615, 20171223-22:15:29:606
    kDottedTime,   // 2005-06-03-15.42.50.675872
    kMonthDay,     // 10.30 16:49:06
    kMonthName,    // Nov  9 12:01:01, Nov 9 2005 12:01:01
    kDayMonth,     // 06 May 2024 08:00:00
    kEpochSeconds,
    kEpochMilliseconds,
    kJsonField,     // {"ts": "2013-09-06T20:00:48.124817Z", ...}, {"time": 1699999999123, ...}
    kGlog,          // I0517 15:04:22.619642, E20200308 23:47:32.089828
    kJapaneseDate,  // 2024年5月6日 8:00:00, 5月 19 11:08:37
    kTai64n,        // @40000000433225833b6e1a8c (daemontools)
    kTimeOnly,      // 08:09:33.814936 (a time of day alone)
};

// The stamps looked for after a prefix start within this many bytes of the line.
constexpr int kStampSearchBytes = 128;

struct CStampMatch {
    CTimeStamp stamp;
    StampForm form = StampForm::kNone;
    int offset = 0;  // where the stamp begins in the line
};

// An epoch day (since 1970-01-01) and its date; days 0 is none (it lies outside 2000-2100).
struct CEpochDay {
    uint32_t days = 0;
    CTimeStamp date;
};

// What the search keeps from one line to the next of the same log: where the last readable
// stamp began, and its form. Most logs write their stamp at the same place on every line; the
// search then reads the places before it one by one instead of sizing up the whole line
// first, and asks the quick reads of other forms nothing. The outcome is the same with or
// without it.
struct CStampHint {
    static constexpr int kQuietBytes = 64;

    int offset = -1;
    StampForm form = StampForm::kNone;  // none before the first stamp
    CEpochDay epochDay;                 // the last, as neighbouring lines nearly always share the day
    // The bytes before a stamp read where the last one began, of a line in which no place
    // before it started anything: a line that begins with the same bytes has none either (that
    // depends on those bytes alone), as a log's lines mostly begin alike.
    int quietLength = 0;
    char quiet[kQuietBytes] = {};
};

// Tries the forms at the line's first non-blank byte and at every field start (after a
// blank, a tab, "[", "|", "=", a quote, "(", ":" or ",") among the first kStampSearchBytes
// bytes, the earliest place first; then, when none is there, an epoch time between 2000 and
// 2100: 10 digits of seconds (optionally with a fraction) or 13 of milliseconds as the leading
// field (or just inside a bracket or bar that opens the line), or seconds with a fraction of
// 3, 6 or 9 digits at any of the places. An epoch time that plainly is one (13 digits, or
// such a fraction) as the leading field comes before all. A date without a time is no stamp.
// 1 and *match, or 0 with *match empty. hint, when not null, is used and kept up to date.
int ParseStampForms(const char* bytes, int length, CStampMatch* match, CStampHint* hint = nullptr);

// ParseStampForms, then, when it finds none, a time of day alone (ReadTimeOnly); a time that
// leads the line is read once for both.
int ParseStampFormsOrTime(const char* bytes, int length, CStampMatch* match, CStampHint* hint = nullptr);

// A short ASCII name of the form ("iso-8601", "epoch-seconds", ...), for reports.
const char* StampFormName(StampForm form);
