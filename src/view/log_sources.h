// The colours that tell a merged view's logs apart: the source cell at each row's start and
// the legend in the header.
#pragma once

#include <windows.h>

// The colour of a log (0..63) in the light or the dark theme: ten distinct hues, then the
// same a shade darker and lighter by turns; each stands apart from the view's ground.
COLORREF SourceColor(int log, bool dark);
