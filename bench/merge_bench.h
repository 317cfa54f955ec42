// quillon-bench --merge: several logs merged into one view ordered by time - the merge
// pass beside a plain walk over the same indexes, the bytes of the merged order, and what
// fetching rows of the merged view costs.
#pragma once

// Loads each log, merges them; prints the figures. Returns 0, or 2 when a log cannot be
// opened or the merge fails.
int RunMergeBench(const char* const* paths, int count, int repeat);
