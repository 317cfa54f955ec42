// Fixed-place readers of the commonest stamps beyond the line start, which the stamp search
// asks before it sizes up a line: each gives exactly what the search would, or declines.
#pragma once

#include "stamps/stamp_forms.h"

// An access log's "[10/Oct/2000:13:55:36 -0700]" among a line's first bytes, when no place
// before it can start a stamp (its leading field an address, blanks, dashes, words that begin
// no name): 1 and *match as the search finds it; 0 (and *match unchanged) when unsure.
int QuickAccessLog(const char* bytes, int length, CStampMatch* match);

// The ISO form's "2024-05-06T08:00:00.123Z" at bytes[at] (a blank for the T, a fraction or
// none, "Z", "+09:00", "-0700", a zone's name after a blank or no zone), read at fixed places:
// 1 and *stamp as ReadStampFormAt finds it there when it comes to that form; 0 when unsure.
int QuickIsoDate(const char* bytes, int length, int at, CTimeStamp* stamp);
