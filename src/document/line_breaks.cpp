// Line-break scans. A line begins exactly where a byte that is not a break follows a break,
// whatever the pairing of CR and LF before it, so starts can be counted in any piece of a
// file from one byte of look-behind.
#include "document/line_breaks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline uint64_t PopCount64(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return (x * 0x0101010101010101ull) >> 56;
}

#if defined(__SSE2__)
// Bit i set when byte i of the 16 at p is a CR or LF.
inline uint32_t BreakMask16(const char* p) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i cr = _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'));
    __m128i lf = _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(cr, lf)));
}
#endif

}  // namespace

size_t FindLineBreak(const char* p, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        uint32_t m = BreakMask16(p + i);
        if (m != 0) return i + static_cast<size_t>(__builtin_ctz(m));
    }
#endif
    for (; i < n; ++i) {
        if (IsLineBreak(static_cast<unsigned char>(p[i]))) return i;
    }
    return n;
}

uint64_t CountLineStarts(const char* p, size_t n, bool previousIsBreak) {
    uint64_t count = 0;
    uint64_t carry = previousIsBreak ? 1 : 0;
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 64 <= n; i += 64) {
        uint64_t m = static_cast<uint64_t>(BreakMask16(p + i)) | static_cast<uint64_t>(BreakMask16(p + i + 16)) << 16 |
                     static_cast<uint64_t>(BreakMask16(p + i + 32)) << 32 |
                     static_cast<uint64_t>(BreakMask16(p + i + 48)) << 48;
        uint64_t starts = ~m & ((m << 1) | carry);
        count += PopCount64(starts);
        carry = m >> 63;
    }
#endif
    for (; i < n; ++i) {
        bool isBreak = IsLineBreak(static_cast<unsigned char>(p[i]));
        if (!isBreak && carry != 0) ++count;
        carry = isBreak ? 1 : 0;
    }
    return count;
}
