// Fixed-place readers of the commonest stamps beyond the line start, which the stamp search
// asks before it sizes up a line: each gives exactly what the search would, or declines.
#pragma once

#include "stamps/stamp_forms.h"

// An access log's "[10/Oct/2000:13:55:36 -0700]" among a line's first bytes, when no place
// before it can start a stamp (its leading field an address, blanks, dashes, words that begin
// no name): 1 and *match as the search finds it; 0 (and *match unchanged) when unsure.
int QuickAccessLog(const char* bytes, int length, CStampMatch* match);
