// A portable UTF-8 <-> UTF-16 codec that behaves like Windows' code page 65001:
// each maximal invalid subsequence becomes one U+FFFD, lone surrogates encode as U+FFFD.
#pragma once

// With out null, returns the units needed; otherwise the units written, or 0 when
// capacity is too small (nothing meaningful is left in out then).
int Utf8ToUtf16(const unsigned char* bytes, int count, char16_t* out, int capacity);
int Utf16ToUtf8(const char16_t* wide, int count, unsigned char* out, int capacity);
