// quillon-bench --stamp-forms: the load of one log in the line-start form and the same log in
// further stamp forms, each with every form on, and each form's time as a ratio of the first.
#pragma once

// paths[0] is the log in the line-start form, the rest the same log in other forms. Prints
// the figures; returns 0, or 2 when a file cannot be opened.
int RunStampFormsBench(const char* const* paths, int count, int repeat);
