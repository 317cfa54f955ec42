// Most lines that reach the stamp search hold no readable stamp (epoch times, stack traces),
// so every one of their first 128 bytes is looked at: the boundaries, digits, letters and
// colons are classified sixteen at a time, and the places, the runs of digits and the h:mm:ss
// among them come from those masks with a few shifts; only a long line is searched beyond
// them, for an h:mm:ss, and only when the masks hold none.
#include "stamps/stamp_field_starts.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_forms.h"
#include "stamps/stamp_text.h"

namespace {

using Mask = CFieldStarts::Mask;

Mask Join(uint64_t low, uint64_t high) { return Mask{high} << 64 | low; }

bool IsAsciiLetter(char b) { return static_cast<unsigned>((b | 0x20) - 'a') < 26; }

// What the classification looks for: the bytes the places are made of, the letters, or the
// digits alone, of which the quick test's marks are made (their stops are read byte by byte),
// for most lines or for the bytes after a time alone at a line's start.
enum class Pass { kPlaces, kLetters, kMarks, kMarksAfterTime };

// Bit k of each mask for byte k of the first 128.
struct CClasses {
    Mask boundaries = 0;
    Mask digits = 0;
    Mask letters = 0;
    Mask colons = 0;

    void Add(char b, int k) {
        Mask bit = Mask{1} << k;
        if (IsStampFieldBoundary(b)) boundaries |= bit;
        if (IsStampDigit(b)) digits |= bit;
        if (IsAsciiLetter(b)) letters |= bit;
        if (b == ':') colons |= bit;
    }
};

#if defined(__SSE2__)
// Bytes in [low, low + span]: moved so that low + span lands on 127, exactly they compare
// above 126 - span as signed bytes (the others wrap below).
inline __m128i InRange(__m128i v, char low, char span) {
    __m128i x = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(127 - low - span)));
    return _mm_cmpgt_epi8(x, _mm_set1_epi8(static_cast<char>(126 - span)));
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
// classes of the pass.
template <Pass pass>
inline void Add16(const char* p, int shift, int drop, CQuarter* c) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (pass == Pass::kLetters) {
        c->letters |= Bits(InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 25)) >> drop << shift;
        return;
    }
    c->digits |= Bits(InRange(v, '0', 9)) >> drop << shift;
    if (pass == Pass::kMarks || pass == Pass::kMarksAfterTime) return;
    __m128i colons = _mm_cmpeq_epi8(v, _mm_set1_epi8(':'));
    c->colons |= Bits(colons) >> drop << shift;
    __m128i blanks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t')));
    __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('[')), _mm_cmpeq_epi8(v, _mm_set1_epi8('|')));
    // Key=value, quoted, parenthesised, colon- and comma-separated fields.
    __m128i parts = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('=')), _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
    __m128i opens = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('(')), _mm_cmpeq_epi8(v, _mm_set1_epi8(',')));
    __m128i all = _mm_or_si128(_mm_or_si128(blanks, marks), _mm_or_si128(_mm_or_si128(parts, opens), colons));
    c->boundaries |= Bits(all) >> drop << shift;
}

// The n (at most 64) bytes at p, sixteen at a time; the last sixteen end where the n bytes
// end and overlap those before them when n is no multiple of sixteen (the bytes before p are
// the line's too). Inline, so that the masks stay in registers.
template <Pass pass>
__attribute__((always_inline)) inline void Classify64(const char* p, int n, CQuarter* c) {
    int k = 0;
    for (; k + 16 <= n; k += 16) Add16<pass>(p + k, k, 0, c);
    if (k < n) Add16<pass>(p + n - 16, k, 16 - (n - k), c);
}

// The first window (at most 128) bytes at p, the classes of the pass; a window under sixteen
// bytes byte by byte.
template <Pass pass>
__attribute__((always_inline)) inline void Classify(const char* p, int window, CClasses* c) {
    if (window < 16) {
        if (pass != Pass::kLetters) {
            for (int k = 0; k < window; ++k) c->Add(p[k], k);
        }
        return;
    }
    CQuarter low, high;
    Classify64<pass>(p, window < 64 ? window : 64, &low);
    if (window > 64) Classify64<pass>(p + 64, window - 64, &high);
    if (pass == Pass::kLetters) {
        c->letters = Join(low.letters, high.letters);
        return;
    }
    c->digits = Join(low.digits, high.digits);
    c->colons = Join(low.colons, high.colons);
    c->boundaries = Join(low.boundaries, high.boundaries);
}
#else
template <Pass pass>
void Classify(const char* p, int window, CClasses* c) {
    if (pass == Pass::kLetters) return;
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

// The h:mm:ss among the classified bytes, each at its first stop: a digit before it, two
// after, a stop, two more digits. The stops are the colons, or the colons and points (for
// the hh.mm.ss of a dotted time too).
Mask TimesOf(Mask digits, Mask stops) {
    return stops & digits << 1 & digits >> 1 & digits >> 2 & stops >> 3 & digits >> 4 & digits >> 5;
}

// The first colon of an h:mm:ss in the line at from or later, or length.
int TimeFrom(const char* p, int length, int from) {
    for (int c = from; c + 5 < length; ++c) {
        const void* hit = std::memchr(p + c, ':', static_cast<size_t>(length - 5 - c));
        if (hit == nullptr) break;
        c = static_cast<int>(static_cast<const char*>(hit) - p);
        if (IsStampDigit(p[c - 1]) && IsStampDigit(p[c + 1]) && IsStampDigit(p[c + 2]) && p[c + 3] == ':' &&
            IsStampDigit(p[c + 4]) && IsStampDigit(p[c + 5])) {
            return c;
        }
    }
    return length;
}

// The runs of exactly six or eight digits (a compact date) that start at from or later.
Mask CompactDates(Mask digits, int from) {
    Mask d = digits;
    Mask starts = (d & ~(d << 1)) >> from << from;
    Mask six = d & d >> 1 & d >> 2 & d >> 3 & d >> 4 & d >> 5;
    Mask eight = six & d >> 6 & d >> 7;
    return starts & ((six & ~(d >> 6)) | (eight & ~(d >> 8)));
}

// Whether six digits of a time follow one of the compact dates (runs of exactly six or eight
// digits, their first digits in dates) just after it: after one of "-.T", or after blanks.
// The sixes are the runs of exactly six digits. Most lines hold none or one such run, and
// those with two seldom have them side by side, so the dates are looked at one by one.
bool TimeFollowsDate(const char* p, int window, Mask dates, Mask sixes) {
    for (; dates != 0; dates &= dates - 1) {
        int k = CFieldStarts::LowestBit(dates);
        k += ((sixes >> k) & 1) != 0 ? 6 : 8;
        if (k >= window) return false;
        if (p[k] == '-' || p[k] == '.' || p[k] == 'T') {
            ++k;
        } else {
            int blank = k;
            while (k < window && (p[k] == ' ' || p[k] == '\t')) ++k;
            if (k == blank) continue;
        }
        if (k < window && ((sixes >> k) & 1) != 0) return true;
    }
    return false;
}

// The marks the quick test looks for from byte from on, among the window bytes at p that the
// masks stand for: an h:mm:ss or the hh.mm.ss of a dotted time, ten digits in a row when
// epoch, a compact date with the six digits of its time just after it, or eight digits and a
// dash before a time. from is 0, or 1 when p is the byte before the first place. Every line
// that gets here pays for this, and most hold none.
__attribute__((always_inline)) inline bool MarksFromExactly(Mask d, const char* p, int window, int from, bool epoch) {
    Mask after = from == 0 ? ~Mask{0} : ~Mask{1};
    Mask two = d & d >> 1;  // two digits from here on
    // The places of a time's stops: a digit before, and a byte that is no digit with two
    // digits after it both here and three on. Few places have those digits, and only their
    // bytes are looked at.
    Mask gap = ~d & two >> 1;
    Mask stops = gap & gap >> 3 & d << 1 & after;
    for (; stops != 0; stops &= stops - 1) {
        int k = CFieldStarts::LowestBit(stops);
        if ((p[k] == ':' || p[k] == '.') && (p[k + 3] == ':' || p[k + 3] == '.')) return true;
    }
    // Every other mark starts with six digits in a row.
    Mask six = two & two >> 2 & two >> 4;
    if ((six & after) == 0) return false;
    Mask first = d & ~(d << 1);            // the first digit of a run
    Mask sixes = first & six & ~(d >> 6);  // runs of exactly six digits
    Mask eight = six & two >> 6;
    if ((eight & after) == 0) {
        // The dates are the sixes alone: one, and another after it.
        Mask dates = sixes & after;
        return (dates & (dates - 1)) != 0 && TimeFollowsDate(p, window, dates, sixes);
    }
    Mask ten = epoch ? eight & two >> 8 : 0;
    if ((ten & after) != 0) return true;
    // Eight digits and a dash are rare enough to be looked at one by one.
    for (Mask m = first & eight & after; m != 0; m &= m - 1) {
        int k = CFieldStarts::LowestBit(m);
        if (k + 9 < window && p[k + 8] == '-' && IsStampDigit(p[k + 9])) return true;
    }
    Mask dates = (sixes | (first & eight & ~(d >> 8))) & after;
    return dates != 0 && TimeFollowsDate(p, window, dates, sixes);
}

#if defined(__SSE2__)
// A mask in a vector register (bit k of the 128 in bit k % 64 of lane k / 64), where the
// shifts and tests below keep all of it in registers; n from 1 to 63.
template <int n>
inline __m128i Down(__m128i x) {
    return _mm_or_si128(_mm_srli_epi64(x, n), _mm_slli_epi64(_mm_srli_si128(x, 8), 64 - n));
}
template <int n>
inline __m128i Up(__m128i x) {
    return _mm_or_si128(_mm_slli_epi64(x, n), _mm_srli_epi64(_mm_slli_si128(x, 8), 64 - n));
}
inline uint64_t Lane(__m128i x, int lane) {
    return static_cast<uint64_t>(_mm_cvtsi128_si64(lane == 0 ? x : _mm_unpackhi_epi64(x, x)));
}
#endif

// Whether the digits (from the byte after the first when skipFirst) hold what every mark is
// made of: a time's stops, eight digits in a row, or two runs of exactly six. Most lines hold
// none of these, and one test rules them out, where a branch for each could not be foreseen
// (most lines hold six digits in a row, many no more).
inline bool MayHoldMarks(Mask digits, bool skipFirst) {
#if defined(__SSE2__)
    __m128i d = _mm_set_epi64x(static_cast<long long>(digits >> 64), static_cast<long long>(digits));
    __m128i after = _mm_set_epi64x(-1, skipFirst ? -2 : -1);
    __m128i two = _mm_and_si128(d, Down<1>(d));
    __m128i gap = _mm_andnot_si128(d, Down<1>(two));
    __m128i stops = _mm_and_si128(_mm_and_si128(gap, Down<3>(gap)), Up<1>(d));
    __m128i six = _mm_and_si128(_mm_and_si128(two, Down<2>(two)), Down<4>(two));
    __m128i eight = _mm_and_si128(_mm_and_si128(six, Down<6>(two)), after);
    // Runs of exactly six: their first digit, six digits on, then none.
    __m128i exact = _mm_andnot_si128(_mm_or_si128(Up<1>(d), Down<6>(d)), _mm_and_si128(six, after));
    __m128i any = _mm_or_si128(stops, eight);
    uint64_t low = Lane(exact, 0), high = Lane(exact, 1);
    bool twoSixes = (low & (low - 1)) != 0 || (high & (high - 1)) != 0 || (low != 0 && high != 0);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF || twoSixes;
#else
    Mask after = skipFirst ? ~Mask{1} : ~Mask{0};
    Mask two = digits & digits >> 1;
    Mask gap = ~digits & two >> 1;
    Mask six = two & two >> 2 & two >> 4;
    Mask exact = digits & ~(digits << 1) & six & ~(digits >> 6) & after;
    return ((gap & gap >> 3 & digits << 1) | (six & two >> 6 & after) | (exact & (exact - 1))) != 0;
#endif
}

__attribute__((noinline)) bool MarksFromAfterTheTest(Mask d, const char* p, int window, int from, bool epoch) {
    return MarksFromExactly(d, p, window, from, epoch);
}

// The marks, for the pass: the bytes after a time alone at a line's start mostly hold six
// digits in a row, where the early-outs above cannot be foreseen,
// so one test comes first and the rest is kept out of line; the other lines that get here (a
// stack trace's) mostly hold none, and the early-outs serve them best.
template <Pass pass>
__attribute__((always_inline)) inline bool MarksFrom(const CClasses& c, const char* p, int window, int from,
                                                     bool epoch) {
    if (pass == Pass::kMarksAfterTime) {
        return MayHoldMarks(c.digits, from != 0) && MarksFromAfterTheTest(c.digits, p, window, from, epoch);
    }
    return MarksFromExactly(c.digits, p, window, from, epoch);
}

}  // namespace

uint64_t FieldStartsUpTo(const char* bytes, int length, int until) {
    if (bytes == nullptr || until < 0 || until >= 64 || until >= length) return 0;
    CClasses c;
    // Sixteen bytes are classified at once sooner than a few one by one.
    int window = until + 1 < 16 && length >= 16 ? 16 : until + 1;
    Classify<Pass::kPlaces>(bytes, window, &c);
    auto starts = static_cast<uint64_t>(c.boundaries) << 1 | 1;
    return until == 63 ? starts : starts & ((uint64_t{2} << until) - 1);
}

namespace {

// The quick test, with the marks weighed as the pass wants.
template <Pass pass>
bool MayStartFrom(const char* bytes, int length, int from, bool epoch) {
    int window = length < kStampSearchBytes ? length : kStampSearchBytes;
    if (bytes == nullptr || from < 0 || from >= window) return false;
    // The bytes are classified from the one before from on (a time's stop wants the digit
    // before it), so the masks count from there and no byte before it is looked at.
    int base = from > 0 ? from - 1 : 0;
    const char* p = bytes + base;
    int span = window - base;
    CClasses c;
    Classify<pass>(p, span, &c);
    if (MarksFrom<pass>(c, p, span, from - base, epoch)) return true;
    if (length <= window) return false;
    // A stamp that starts among the classified bytes may end beyond them: those that start
    // near their end with a digit, a compact date whose time lies beyond them, or an h:mm:ss
    // that reaches past them (as after a weekday and a month).
    constexpr int kNearEnd = 24;
    int nearEnd = kStampSearchBytes - kNearEnd - base;
    if ((nearEnd > 0 ? c.digits >> nearEnd : c.digits) != 0) return true;
    char last = bytes[window - 1];
    bool joint = last == ' ' || last == '\t' || last == 'T' || last == '-';
    if (joint && CompactDates(c.digits, from - base) != 0) return true;
    return TimeFrom(bytes, length, window - 5) < length;
}

}  // namespace

bool StampMayStartFrom(const char* bytes, int length, int from, bool epoch) {
    return MayStartFrom<Pass::kMarks>(bytes, length, from, epoch);
}

bool StampMayFollowTime(const char* bytes, int length, int from) {
    return MayStartFrom<Pass::kMarksAfterTime>(bytes, length, from, true);
}

CFieldStarts::CFieldStarts(const char* bytes, int length) : m_p(bytes), m_length(bytes == nullptr ? 0 : length) {
    m_window = m_length < kStampSearchBytes ? m_length : kStampSearchBytes;
    if (m_window <= 0) {
        m_window = 0;
        return;
    }
    CClasses c;
    Classify<Pass::kPlaces>(bytes, m_window, &c);
    m_digits = c.digits;
    m_times = TimesOf(m_digits, c.colons);
    // Letters start a stamp only when an h:mm:ss follows; digits only with the lengths of a
    // form (of one without an h:mm:ss when none follows) or of an epoch time.
    bool timeMayBeAhead = m_times != 0 || m_length > m_window;
    if (timeMayBeAhead) Classify<Pass::kLetters>(bytes, m_window, &c);
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
        m_tail = TimeFrom(m_p, m_length, from);
    }
    return m_tail < m_length;
}
