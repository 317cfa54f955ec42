// Fixed-place readers of the commonest stamps beyond the line start, which the stamp search
// asks before it sizes up a line: each gives exactly what the search would, or declines.
#pragma once

#include "stamps/stamp_forms.h"

// An access log's "[10/Oct/2000:13:55:36 -0700]" among a line's first bytes, when no place
// before it can start a stamp (its leading field an address, blanks, dashes, words that begin
// no name): 1 and *match as the search finds it; 0 (and *match unchanged) when unsure.
int QuickAccessLog(const char* bytes, int length, CStampMatch* match);

// Whether the n bytes at p (the first not blank) begin with a number that is no address
// ("1710544200.015 ...", "240315 ..."): no point among its next three bytes, or too few bytes
// for an address. QuickAccessLog declines such a line at once.
inline bool NumberLeadsNoAddress(const char* p, int n) {
    return n > 0 && p[0] >= '0' && p[0] <= '9' && (n < 8 || (p[1] != '.' && p[2] != '.' && p[3] != '.'));
}

// The ISO form's "2024-05-06T08:00:00.123Z" at bytes[at] (a blank for the T, a fraction or
// none, "Z", "+09:00", "-0700", a zone's name after a blank or no zone), read at fixed places:
// 1 and *stamp as ReadStampFormAt finds it there when it comes to that form; 0 when unsure.
int QuickIsoDate(const char* bytes, int length, int at, CTimeStamp* stamp);

// The compact form's "240315 231000" or "20240315 231000" at bytes[at] (one blank between, no
// fraction, a zone's name after a blank or no zone): 1 and *stamp as ReadStampFormAt finds
// it there when it comes to that form; 0 when unsure.
int QuickCompactDate(const char* bytes, int length, int at, CTimeStamp* stamp);

// The C library's "Fri Mar 15 23:10:00.015 2024" at bytes[at] (names in either case, a day of
// one digit after two blanks, a fraction or none, one blank before the year), as above.
int QuickCLibrary(const char* bytes, int length, int at, CTimeStamp* stamp);

// glog's "I0315 23:10:00.015015" or "E20240315 23:10:00.015015" at bytes[at], as above.
int QuickGlog(const char* bytes, int length, int at, CTimeStamp* stamp);
