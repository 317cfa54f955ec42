// Most lines that reach the stamp search hold no readable stamp (epoch times, stack traces),
// so every one of their first 128 bytes is looked at: the boundaries, digits, letters and
// colons are classified sixteen at a time, and the places, the runs of digits and the h:mm:ss
// among them come from those masks with a few shifts; only a long line is searched beyond
// them, for an h:mm:ss, and only when the masks hold none.
#include "document/stamp_field_starts.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/stamp_form_readers.h"
#include "document/stamp_forms.h"
#include "document/stamp_text.h"

namespace {

using Mask = CFieldStarts::Mask;

Mask Join(uint64_t low, uint64_t high) { return Mask{high} << 64 | low; }

bool IsAsciiLetter(char b) { return static_cast<unsigned>((b | 0x20) - 'a') < 26; }

// Bit k of each mask for byte k of the first 128.
struct CClasses {
    Mask boundaries = 0;
    Mask digits = 0;
    Mask letters = 0;
    Mask colons = 0;

    void Add(char b, int k) {
        Mask bit = Mask{1} << k;
        if (b == ' ' || b == '\t' || b == '[' || b == '|') boundaries |= bit;
        if (IsStampDigit(b)) digits |= bit;
        if (IsAsciiLetter(b)) letters |= bit;
        if (b == ':') colons |= bit;
    }
};

#if defined(__SSE2__)
// Bytes in [low, low + span]: x - low, unsigned, is at most span exactly for them.
inline __m128i InRange(__m128i v, char low, char span) {
    __m128i x = _mm_sub_epi8(v, _mm_set1_epi8(low));
    return _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(span)), x);
}

inline uint64_t Bits(__m128i m) { return static_cast<uint32_t>(_mm_movemask_epi8(m)); }

// Bit k of each mask for byte k of up to sixty-four.
struct CQuarter {
    uint64_t boundaries = 0;
    uint64_t digits = 0;
    uint64_t letters = 0;
    uint64_t colons = 0;
};

// The sixteen bytes at p into bits shift and up, the first drop of them left out: the
// letters, or the other classes.
template <bool letters>
inline void Add16(const char* p, int shift, int drop, CQuarter* c) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (letters) {
        c->letters |= Bits(InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 25)) >> drop << shift;
        return;
    }
    __m128i blanks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
    __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('[')), _mm_cmpeq_epi8(v, _mm_set1_epi8('|')));
    c->boundaries |= Bits(_mm_or_si128(blanks, marks)) >> drop << shift;
    c->digits |= Bits(InRange(v, '0', 9)) >> drop << shift;
    c->colons |= Bits(_mm_cmpeq_epi8(v, _mm_set1_epi8(':'))) >> drop << shift;
}

// The n (at most 64) bytes at p, sixteen at a time; the last sixteen end where the n bytes
// end and overlap those before them when n is no multiple of sixteen (the bytes before p are
// the line's too). Inline, so that the masks stay in registers.
template <bool letters>
__attribute__((always_inline)) inline void Classify64(const char* p, int n, CQuarter* c) {
    int k = 0;
    for (; k + 16 <= n; k += 16) Add16<letters>(p + k, k, 0, c);
    if (k < n) Add16<letters>(p + n - 16, k, 16 - (n - k), c);
}

// The first window (at most 128) bytes at p, the letters only when asked for (most lines
// that come here need none); a window under sixteen bytes byte by byte.
template <bool letters>
void Classify(const char* p, int window, CClasses* c) {
    if (window < 16) {
        for (int k = 0; k < window; ++k) c->Add(p[k], k);
        return;
    }
    CQuarter low, high;
    Classify64<letters>(p, window < 64 ? window : 64, &low);
    if (window > 64) Classify64<letters>(p + 64, window - 64, &high);
    if (letters) {
        c->letters = Join(low.letters, high.letters);
        return;
    }
    c->boundaries = Join(low.boundaries, high.boundaries);
    c->digits = Join(low.digits, high.digits);
    c->colons = Join(low.colons, high.colons);
}
#else
template <bool letters>
void Classify(const char* p, int window, CClasses* c) {
    if (letters) return;
    for (int k = 0; k < window; ++k) c->Add(p[k], k);
}
#endif

int HighestBit(Mask m) {
    auto high = static_cast<uint64_t>(m >> 64);
    auto low = static_cast<uint64_t>(m);
    return high != 0 ? 127 - __builtin_clzll(high) : low != 0 ? 63 - __builtin_clzll(low) : -1;
}

// The bytes from which exactly n digits follow, for the lengths n in the set (bit n for n,
// up to 13), and those whose digits reach the end of the mask when the line goes on (their
// length is not known here). A few shifts for every byte at once, instead of a branch for
// each place that would most often find nothing to read.
template <int len>
void AddRuns(Mask digits, uint32_t lengths, Mask runs, Mask* wanted) {
    Mask longer = runs & digits >> len;  // runs: at least len digits from here
    if ((lengths >> len) & 1) *wanted |= runs & ~longer;
    if constexpr (len < 13) AddRuns<len + 1>(digits, lengths, longer, wanted);
}

Mask RunsOfLengths(Mask digits, uint32_t lengths, bool lineGoesOn) {
    Mask wanted = 0;
    AddRuns<1>(digits, lengths, digits, &wanted);
    if (lineGoesOn && (digits >> 127) != 0) wanted |= ~Mask{0} << (HighestBit(~digits) + 1);
    return wanted;
}

}  // namespace

CFieldStarts::CFieldStarts(const char* bytes, int length) : m_p(bytes), m_length(bytes == nullptr ? 0 : length) {
    m_window = m_length < kStampSearchBytes ? m_length : kStampSearchBytes;
    if (m_window <= 0) {
        m_window = 0;
        return;
    }
    CClasses c;
    Classify<false>(bytes, m_window, &c);
    m_digits = c.digits;
    // d:dd:dd from its first colon: a digit before it, two after, a colon, two more digits.
    m_times = c.colons & m_digits << 1 & m_digits >> 1 & m_digits >> 2 & c.colons >> 3 & m_digits >> 4 & m_digits >> 5;
    // Letters start a stamp only when an h:mm:ss follows; digits only with the lengths of a
    // form (of one without an h:mm:ss when none follows) or of an epoch time.
    bool timeMayBeAhead = m_times != 0 || m_length > m_window;
    if (timeMayBeAhead) Classify<true>(bytes, m_window, &c);
    uint32_t lengths = kStampFormRuns[timeMayBeAhead ? 1 : 0] | 1u << 10 | 1u << 13;
    Mask digitPlaces = m_digits & RunsOfLengths(m_digits, lengths, m_length > m_window);
    // A place follows a boundary, or is the first byte (blanks are boundaries themselves).
    m_places = (digitPlaces | c.letters) & (c.boundaries << 1 | 1);
}

int CFieldStarts::DigitRun(int at, int max) const {
    // The mask ends with the classified bytes; a run that reaches their end goes on byte by byte.
    Mask after = ~(m_digits >> at);
    int run = after == 0 ? 128 : LowestBit(after);
    if (at + run >= m_window) {
        run = m_window - at;
        while (run < max && at + run < m_length && IsStampDigit(m_p[at + run])) ++run;
    }
    return run < max ? run : max;
}

bool CFieldStarts::TimeAfter(int at) {
    if (at + 1 < 128 && (m_times >> (at + 1)) != 0) return true;
    // The masks hold every h:mm:ss whose last digit lies among the classified bytes; those
    // that begin later are looked for in the line once, and only when asked for.
    if (m_length <= m_window) return false;
    if (m_tail <= at) {
        int from = m_window - 5 > at + 1 ? m_window - 5 : at + 1;
        m_tail = TimeFrom(from);
    }
    return m_tail < m_length;
}

int CFieldStarts::TimeFrom(int from) const {
    for (int c = from; c + 5 < m_length; ++c) {
        const void* hit = std::memchr(m_p + c, ':', static_cast<size_t>(m_length - 5 - c));
        if (hit == nullptr) break;
        c = static_cast<int>(static_cast<const char*>(hit) - m_p);
        if (IsStampDigit(m_p[c - 1]) && IsStampDigit(m_p[c + 1]) && IsStampDigit(m_p[c + 2]) && m_p[c + 3] == ':' &&
            IsStampDigit(m_p[c + 4]) && IsStampDigit(m_p[c + 5])) {
            return c;
        }
    }
    return m_length;
}
