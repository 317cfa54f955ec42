// quillon-bench --merge: several logs merged into one view ordered by time - the view
// ready beside the loads alone, the merge pass beside a plain walk over the same indexes,
// the bytes of the merged order, what fetching rows and jumping cost, and search and
// extraction on the merged view beside the same on each log alone.
#pragma once

#include "keywords/keyword_set.h"

// Loads each log (with keywords, as the viewer does), merges them; prints the figures.
// Returns 0, or 2 when a log cannot be opened or the merge fails.
int RunMergeBench(const char* const* paths, int count, int repeat, const CKeywordSet& keywords);
