// The preview's self-check of the resources: every template in both languages holds its
// controls, in the right font, with no clipped text and no overlapping controls; the two
// menus match; bitmap, icon, version and manifest are as the shell expects.
#pragma once

#include <windows.h>

// Prints one line per problem to stdout and returns the number of problems.
int RunLayoutCheck(HINSTANCE instance);
