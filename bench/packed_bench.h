// quillon-bench --packed: a gzip log read as it is - the index beside `zcat | wc -l`, a
// search for an absent text on two cores beside `zcat | grep -c -F`, random row fetches and
// jumps through the access points, and the access points' memory.
#pragma once

// Prints the figures for the gzip log at path. Returns 0, or 2 when it cannot be read.
int RunPackedBench(const char* path, int repeat);
