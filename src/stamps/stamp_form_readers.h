// The built-in stamp forms read at one given place of a line, and epoch times there: what
// ParseStampForms tries at each field boundary. Tests compare its shortcuts with a plain
// search made of these readers.
#pragma once

#include "stamps/stamp_forms.h"
#include "stamps/stamp_text.h"

// What the search knows of the text at a place, so that forms that cannot start there are
// not tried. The default knows nothing, and every form is tried.
struct CFieldShape {
    int run = -1;           // the digits at the place (0: none); -1: not known
    char after = '\0';      // the byte after them ('\0' at the end of the bytes)
    bool timeAhead = true;  // false: no h:mm:ss begins after the place in the rest of the bytes
};

// The digit runs (bit n for n digits) that some form starts with: [0] the forms without an
// h:mm:ss, [1] all of them.
extern const uint32_t kStampFormRuns[2];
// The bytes (bit b of word b / 64) that some form lets follow its first run of digits.
extern const uint64_t kStampFormAfters[4];

// False when the shape shows that no readable form can start at its place.
inline bool AnyStampFormMayStart(const CFieldShape& shape) {
    if (shape.run < 0) return true;
    auto after = static_cast<unsigned char>(shape.after);
    return shape.run <= 8 && ((kStampFormRuns[shape.timeAhead ? 1 : 0] >> shape.run) & 1) != 0 &&
           (shape.run == 0 || ((kStampFormAfters[after >> 6] >> (after & 63)) & 1) != 0);
}

// The readable forms at bytes[at] in a fixed order; the first that matches gives 1 and
// *match. 0 (and *match unchanged) when none does.
int ReadStampFormAt(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match);
// What ReadStampFormAt finds when the quick reads (stamp_quick_reads.h) of the first form the
// shape lets start can tell it; 0 when they cannot (and *match unchanged).
int ReadStampFormAtOnce(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match);
// The same as ReadStampFormAt, through the quick reads where they can tell.
int ReadStampFormQuickly(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match);

// A time of day alone (08:09:33.814936, [12:21:46]) as the line's first field, just inside a
// bracket that opens it, or after a leading process id (478760 12:21:46.284771): 1 and
// *match, a stamp whose month is CTimeStamp::kTimeOnly, else 0 (unchanged).
int ReadTimeOnly(const char* bytes, int length, CStampMatch* match);
// The time-only match for the time f read at the place at, whose stamp ends there when ends:
// 1 and *match when its fields are in range, else 0 (unchanged).
int TimeOnlyMatch(const CStampFields& f, bool ends, int at, CStampMatch* match);
