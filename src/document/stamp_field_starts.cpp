// Most lines that reach the stamp search hold no readable stamp (epoch times, stack traces),
// and each of their first 128 bytes is looked at; sixteen at a time that costs a few
// instructions a byte less than one at a time, and the fields the search skips (punctuation,
// and words once no stamp can start with one) are never visited.
#include "document/stamp_field_starts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/stamp_forms.h"

namespace {

// Bit k of each mask for byte k of the sixteen (or fewer).
struct CClasses {
    uint32_t boundaries = 0;
    uint32_t digits = 0;
    uint32_t letters = 0;
};

CClasses Classify(const char* p, int n) {
    CClasses c;
    for (int k = 0; k < n; ++k) {
        char b = p[k];
        char lower = static_cast<char>(b | 0x20);
        if (b == ' ' || b == '\t' || b == '[' || b == '|') c.boundaries |= 1u << k;
        if (b >= '0' && b <= '9') c.digits |= 1u << k;
        if (lower >= 'a' && lower <= 'z') c.letters |= 1u << k;
    }
    return c;
}

#if defined(__SSE2__)
// Bytes in [low, low + span]: x - low, unsigned, is at most span exactly for them.
uint32_t InRange(__m128i v, char low, char span) {
    __m128i x = _mm_sub_epi8(v, _mm_set1_epi8(low));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(span)), x)));
}

CClasses Classify16(const char* p) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
    __m128i mark = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('[')), _mm_cmpeq_epi8(v, _mm_set1_epi8('|')));
    CClasses c;
    c.boundaries = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(blank, mark)));
    c.digits = InRange(v, '0', 9);
    c.letters = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 25);
    return c;
}
#endif

}  // namespace

CFieldStarts::CFieldStarts(const char* bytes, int length) : m_p(bytes) {
    m_limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    if (bytes == nullptr || m_limit < 0) m_limit = 0;
    while (m_next < m_limit && (bytes[m_next] == ' ' || bytes[m_next] == '\t')) ++m_next;
}

int CFieldStarts::Next() {
    while (m_places == 0) {
        if (m_next >= m_limit) return -1;
        ClassifyNext();
    }
    int at = m_base + __builtin_ctz(m_places);
    m_places &= m_places - 1;
    return at;
}

void CFieldStarts::ClassifyNext() {
    int n = m_limit - m_next < 16 ? m_limit - m_next : 16;
    CClasses c;
#if defined(__SSE2__)
    if (n == 16) {
        c = Classify16(m_p + m_next);
    } else if (m_limit >= 16) {
        // The last sixteen bytes of the search, shifted so that bit 0 is the next byte.
        c = Classify16(m_p + m_limit - 16);
        c.boundaries >>= 16 - n;
        c.digits >>= 16 - n;
        c.letters >>= 16 - n;
    } else {
        c = Classify(m_p + m_next, n);
    }
#else
    c = Classify(m_p + m_next, n);
#endif
    // A byte is a place when the one before it is a boundary; the first byte of these sixteen
    // is one when the last of the sixteen before was (or when it is the first non-blank).
    uint32_t places = ((c.boundaries << 1) | m_carry) & (n == 16 ? 0xffffu : (1u << n) - 1);
    m_carry = (c.boundaries >> 15) & 1;
    m_digits = c.digits;
    m_places = places & (m_letters ? c.digits | c.letters : c.digits);
    m_base = m_next;
    m_next += n;
}
