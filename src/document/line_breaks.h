// Byte scans for line breaks (CR and LF): the first break in a range, and the number of
// non-empty lines that begin in a range. SSE2 on x86-64, plain loops elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

inline bool IsLineBreak(unsigned char c) { return c == '\r' || c == '\n'; }

// CR LF and LF CR are one break each; CR CR and LF LF are two.
inline bool IsBreakPair(unsigned char a, unsigned char b) {
    return (a == '\r' && b == '\n') || (a == '\n' && b == '\r');
}

// Index of the first CR or LF among the n bytes, or n when there is none.
size_t FindLineBreak(const char* p, size_t n);

// Number of positions i in [0, n) where a non-empty line begins: p[i] is neither CR nor LF
// and the byte before it is (for i = 0 that byte is described by previousIsBreak; pass true
// at the start of a file).
uint64_t CountLineStarts(const char* p, size_t n, bool previousIsBreak);
