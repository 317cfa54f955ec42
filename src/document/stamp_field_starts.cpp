// Most lines that reach the stamp search hold no readable stamp (epoch times, stack traces),
// so every one of their first 128 bytes is looked at; sixteen at a time that costs a few
// instructions a byte less than one at a time, and the fields the search skips (punctuation,
// and words once no stamp can start with one) are never visited.
#include "document/stamp_field_starts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/stamp_forms.h"
#include "document/stamp_text.h"

namespace {

// Bit k of each mask for byte k of up to sixty-four: the boundaries, the digits, and the
// bytes a field that counts may start with (digits, with or without letters).
struct CClasses {
    uint64_t boundaries = 0;
    uint64_t digits = 0;
    uint64_t starts = 0;
};

void ClassifyBytes(const char* p, int from, int to, bool letters, CClasses* c) {
    for (int k = from; k < to; ++k) {
        char b = p[k];
        char lower = static_cast<char>(b | 0x20);
        if (b == ' ' || b == '\t' || b == '[' || b == '|') c->boundaries |= 1ull << k;
        if (b >= '0' && b <= '9') c->digits |= 1ull << k;
        if ((b >= '0' && b <= '9') || (letters && lower >= 'a' && lower <= 'z')) c->starts |= 1ull << k;
    }
}

#if defined(__SSE2__)
// Bytes in [low, low + span]: x - low, unsigned, is at most span exactly for them.
inline __m128i InRange(__m128i v, char low, char span) {
    __m128i x = _mm_sub_epi8(v, _mm_set1_epi8(low));
    return _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(span)), x);
}

// The sixteen bytes at p, bit k for byte k.
template <bool letters>
inline CClasses Classify16(const char* p) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
    __m128i mark = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('[')), _mm_cmpeq_epi8(v, _mm_set1_epi8('|')));
    __m128i digits = InRange(v, '0', 9);
    __m128i starts = digits;
    if (letters) starts = _mm_or_si128(starts, InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 25));
    CClasses c;
    c.boundaries = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(blank, mark)));
    c.digits = static_cast<uint32_t>(_mm_movemask_epi8(digits));
    c.starts = static_cast<uint32_t>(_mm_movemask_epi8(starts));
    return c;
}

// The n (at most 64) bytes at p, sixteen at a time; the last sixteen end where the n bytes
// end and overlap those before them when n is no multiple of sixteen (begin: where the bytes
// that may be read begin).
template <bool letters>
CClasses Classify(const char* p, int n, const char* begin) {
    CClasses c;
    int k = 0;
    for (; k + 16 <= n; k += 16) {
        CClasses piece = Classify16<letters>(p + k);
        c.boundaries |= piece.boundaries << k;
        c.digits |= piece.digits << k;
        c.starts |= piece.starts << k;
    }
    if (k == n) return c;
    if (p + n - 16 >= begin) {
        CClasses piece = Classify16<letters>(p + n - 16);
        int drop = 16 - (n - k);
        c.boundaries |= piece.boundaries >> drop << k;
        c.digits |= piece.digits >> drop << k;
        c.starts |= piece.starts >> drop << k;
    } else {
        ClassifyBytes(p, k, n, letters, &c);
    }
    return c;
}
#else
template <bool letters>
CClasses Classify(const char* p, int n, const char*) {
    CClasses c;
    ClassifyBytes(p, 0, n, letters, &c);
    return c;
}
#endif

}  // namespace

CFieldStarts::CFieldStarts(const char* bytes, int length, bool letters)
    : m_p(bytes), m_length(bytes == nullptr ? 0 : length), m_letters(letters) {
    m_limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    if (bytes == nullptr || m_limit < 0) m_limit = 0;
    while (m_next < m_limit && (bytes[m_next] == ' ' || bytes[m_next] == '\t')) ++m_next;
}

void CFieldStarts::ClassifyNext() {
    int n = m_limit - m_next < 64 ? m_limit - m_next : 64;
    const char* p = m_p + m_next;
    CClasses c = m_letters ? Classify<true>(p, n, m_p) : Classify<false>(p, n, m_p);
    // A byte is a place when the one before it is a boundary; the first of these bytes is one
    // when the last byte before them was (or when it is the first non-blank byte).
    uint64_t places = ((c.boundaries << 1) | m_carry) & (n == 64 ? ~0ull : (1ull << n) - 1);
    m_carry = c.boundaries >> 63;
    m_places = places & c.starts;
    m_digits = c.digits;
    m_base = m_next;
    m_next += n;
}

int CFieldStarts::DigitRun(int at, int max) const {
    int end = m_next;
    int run = 0;
    if (at >= m_base && at < end) {
        // The digits mask ends with the classified bytes; a run that reaches their end goes on
        // byte by byte.
        uint64_t after = ~(m_digits >> (at - m_base));
        run = after == 0 ? 64 : __builtin_ctzll(after);
        if (at + run < end) return run < max ? run : max;
        run = end - at;
    }
    while (run < max && at + run < m_length && IsStampDigit(m_p[at + run])) ++run;
    return run < max ? run : max;
}
