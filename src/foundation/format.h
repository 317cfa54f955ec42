// printf-style formatting into UTF-16 buffers with an explicit capacity.
// Supported: flags - 0 + space, width and precision (numbers or *), length h l ll I64 z,
// conversions d i u x X o c s (a char16_t* string) p %. Output never passes the
// capacity: the result is always NUL-terminated and the count of units written
// (terminator excluded) is returned, or -1 when the text did not fit or the format is bad.
#pragma once

#include <cstdarg>

int FormatStringV(char16_t* dest, int capacity, const char16_t* format, va_list args);
int FormatString(char16_t* dest, int capacity, const char16_t* format, ...);
// For a destination of exactly 64 units (the view's column texts).
int FormatString64(char16_t* dest, const char16_t* format, ...);
