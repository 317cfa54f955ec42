// CFieldStarts: the places among a line's first kStampSearchBytes bytes where the stamp
// search reads - the first non-blank byte and each byte after a field boundary
// (IsStampFieldBoundary: a blank, a tab, "[", "|", "=", a quote, "(", ":" or ",") -
// that may start a stamp, in increasing order: those with a run of digits of a length some
// form or an epoch time starts with, and those with an ASCII letter while an h:mm:ss may
// follow; the run of digits at a place; and whether an h:mm:ss lies ahead of a place. The
// bytes are classified once, sixteen at a time with SSE2 where the compiler has it and byte
// by byte elsewhere; both give the same places.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class CFieldStarts {
public:
    // Reads bytes[0..length) while the walk lasts; nothing is kept beyond it.
    CFieldStarts(const char* bytes, int length);
    // The next place, or -1 after the last.
    int Next() {
        if (m_places == 0) return -1;
        int at = LowestBit(m_places);
        m_places &= m_places - 1;
        return at;
    }
    // The digits from the place at on, counted up to max.
    int DigitRun(int at, int max) const;
    // Whether an h:mm:ss begins after the place at: its first colon at at + 1 or later (and
    // so its hour digit not before at), anywhere in the line.
    bool TimeAfter(int at);
    // From here on only the places after at.
    void DropUpTo(int at) { m_places &= ~((Mask{2} << at) - 1); }
    // From here on only the places that hold a digit.
    void SkipLetters() { m_places &= m_digits; }

    __extension__ typedef unsigned __int128 Mask;  // bit k for byte k of the first 128

    // The lowest bit set in m, which is not 0.
    static int LowestBit(Mask m) {
        auto low = static_cast<uint64_t>(m);
        return low != 0 ? __builtin_ctzll(low) : 64 + __builtin_ctzll(static_cast<uint64_t>(m >> 64));
    }

private:
    const char* m_p;
    int m_length;
    int m_window;       // the bytes classified: the first kStampSearchBytes or the line
    Mask m_digits = 0;  // the digits among them
    Mask m_places = 0;  // the places not yet returned
    Mask m_times = 0;   // the first colons of the h:mm:ss that lie wholly among them
    int m_tail = -1;    // the first colon of an h:mm:ss found beyond those, or m_length
};

// A quick test before the places are sized up: false when no stamp (no readable form, and no
// epoch time when epoch) can start at a place from byte from on, as the line holds nothing
// that each of them must hold (an h:mm:ss or the hh.mm.ss of a dotted time, a compact date
// with the six digits of its time just after it, ten digits in a row). True proves nothing.
bool StampMayStartFrom(const char* bytes, int length, int from, bool epoch);

// The same with epoch, for the bytes from from on after a time alone at a line's start; the
// same answer, weighed in the order that suits those bytes (most hold six digits in a row).
bool StampMayFollowTime(const char* bytes, int length, int from);

// The first byte and each byte after a field boundary, up to the byte until (below
// 64 and the length; 0 otherwise), bit k for byte k: the places a search that knows where the
// stamp should be reads one by one.
uint64_t FieldStartsUpTo(const char* bytes, int length, int until);

// The digits among the sixteen bytes at p, bit k for p[k]; sixteen bytes from p must be
// readable. Inline, as the quick reads check the digits of a stamp with it.
inline uint32_t DigitBits16(const char* p) {
#if defined(__SSE2__)
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Bytes from '0' to '9': moved to 118..127, exactly they compare above 117 as signed bytes.
    __m128i x = _mm_add_epi8(v, _mm_set1_epi8(127 - '9'));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpgt_epi8(x, _mm_set1_epi8(117))));
#else
    uint32_t bits = 0;
    for (int k = 0; k < 16; ++k) bits |= (p[k] >= '0' && p[k] <= '9' ? 1u : 0u) << k;
    return bits;
#endif
}

// Whether p holds the fourteen digits of "YYYY-MM-DD hh:mm:ss" at their places (whatever
// stands between them); nineteen bytes from p must be readable.
inline bool DateTimeDigitsAt(const char* p) {
    constexpr uint32_t kPlaces = 0xDB6F;  // bits 0-3, 5-6, 8-9, 11-12, 14-15
    return (DigitBits16(p) & kPlaces) == kPlaces && p[17] >= '0' && p[17] <= '9' && p[18] >= '0' && p[18] <= '9';
}

// The value of the two bytes at p, which are digits.
inline int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

// The two-digit numbers among the eight bytes at p, read as one word, as a stamp's fields lie
// side by side: byte k holds the value of p[k] and p[k + 1] for k from 0 to 6, where both
// are digits (PairAt). Eight bytes from p must be readable.
inline uint64_t DigitPairs8(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    w &= 0x0F0F0F0F0F0F0F0Full;  // a digit's value; no byte carries into the next below
    return w * 10 + (w >> 8);
}
inline int PairAt(uint64_t pairs, int k) { return static_cast<int>((pairs >> (8 * k)) & 0xFF); }

// The milliseconds of a decimal fraction whose first digits (one or more) stand at f: those
// beyond the third are cut off.
inline int FractionMilliseconds(const char* f, int digits) {
    int ms = (f[0] - '0') * 100;
    if (digits > 1) ms += (f[1] - '0') * 10;
    if (digits > 2) ms += f[2] - '0';
    return ms;
}

// The digits at p, counted up to 16; n bytes from p may be read. Inline, as every stamp
// read asks it.
inline int DigitsAt(const char* p, int n) {
    if (n >= 16) return __builtin_ctz(~DigitBits16(p));
    int k = 0;
    while (k < n && k < 16 && p[k] >= '0' && p[k] <= '9') ++k;
    return k;
}
