// Reads the whole-number fields of the dialogs: leading blanks (space, tab), an optional
// "-", then decimal digits that must run to the end of the text.
#pragma once

#include <cstdint>

// 1 and *value when the text is such a number (an empty text reads as 0 when emptyIsZero),
// else 0 and *value untouched. Values beyond 32 bits are rejected.
int ParseDecimalField(const char16_t* text, int* value, bool emptyIsZero);
// The same for values of 64 bits (row numbers); values beyond them are rejected.
int ParseDecimalField64(const char16_t* text, int64_t* value, bool emptyIsZero);
