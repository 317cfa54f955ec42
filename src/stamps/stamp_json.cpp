// A JSON line is walked once at its top level: strings are passed over escape by escape,
// nested objects and arrays by their depth, so that a key inside a string or a nested
// object is never taken for the line's time key.
#include "stamps/stamp_json.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "stamps/stamp_epoch.h"
#include "stamps/stamp_field_starts.h"
#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_quick_reads.h"
#include "stamps/stamp_text.h"

namespace {

// The quotes and backslashes of a line, sixty-four bytes at a time as a walk that only goes
// forward reaches them: a JSON line is mostly short strings, and each is then passed over in
// a few bit operations instead of a search of its own.
class CQuoteMarks {
public:
    CQuoteMarks(const char* p, int n) : m_p(p), m_n(n) {}

    // The first quote or backslash in p[i, n), or n; i is never below the last i asked for.
    int Next(int i) {
        while (i < m_n) {
            if (i >= m_base + 64) Load(i & ~63);
            uint64_t m = m_bits >> (i - m_base);
            if (m != 0) return i + __builtin_ctzll(m);
            i = m_base + 64;
        }
        return m_n;
    }

private:
    // Bit k for a quote or backslash at p[k], of the sixteen bytes at p.
    static uint64_t Marks16(const char* p) {
#if defined(__SSE2__)
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i marks =
            _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('"')), _mm_cmpeq_epi8(block, _mm_set1_epi8('\\')));
        return static_cast<uint32_t>(_mm_movemask_epi8(marks));
#else
        uint64_t bits = 0;
        for (int k = 0; k < 16; ++k) bits |= uint64_t{p[k] == '"' || p[k] == '\\'} << k;
        return bits;
#endif
    }

    // The marks of the sixty-four bytes from base on, those of them the line has.
    void Load(int base) {
        m_base = base;
        const char* p = m_p + base;
        if (base + 64 <= m_n) {
            m_bits = Marks16(p) | Marks16(p + 16) << 16 | Marks16(p + 32) << 32 | Marks16(p + 48) << 48;
            return;
        }
        m_bits = 0;
        if (m_n < 16) {
            for (int k = base; k < m_n; ++k) m_bits |= uint64_t{m_p[k] == '"' || m_p[k] == '\\'} << (k - base);
            return;
        }
        // The line's last sixteen bytes end where it ends; those of them before k are left out.
        for (int k = base; k < m_n; k += 16) {
            int at = k + 16 <= m_n ? k : m_n - 16;
            m_bits |= Marks16(m_p + at) >> (k - at) << (k - base);
        }
    }

    const char* m_p;
    int m_n;
    int m_base = -64;     // the first byte the bits stand for
    uint64_t m_bits = 0;  // bit k for a quote or backslash at m_base + k
};

struct CJsonWalk {
    CJsonWalk(const char* bytes, int length) : p(bytes), n(length), marks(bytes, length) {}

    const char* p;
    int n;
    int i = 0;
    CQuoteMarks marks;

    void SkipBlanks() {
        // Most tokens follow one another without a blank, and every blank is below "!".
        if (i<n&& static_cast<unsigned char>(p[i])> ' ') return;
        while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n')) ++i;
    }
    // Past the byte c, and the blanks before it if any: false when another byte comes first.
    bool Take(char c) {
        if (i >= n || p[i] != c) {
            SkipBlanks();
            if (i >= n || p[i] != c) return false;
        }
        ++i;
        return true;
    }
    // At an opening quote: past the closing one. False when the line ends first.
    bool SkipString() {
        for (i = marks.Next(i + 1); i < n; i = marks.Next(i + 2)) {
            if (p[i] == '"') {
                ++i;
                return true;
            }
        }
        i = n;
        return false;
    }
    // Past a value of any kind: a string, an object or array (whole), or a scalar.
    bool SkipValue() {
        if (i < n && p[i] == '"') return SkipString();
        int depth = 0;
        for (; i < n; ++i) {
            char c = p[i];
            if (c == '"') {
                if (!SkipString()) return false;
                --i;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (depth == 0) return true;
                if (--depth == 0) {
                    ++i;
                    return true;
                }
            } else if (c == ',' && depth == 0) {
                return true;
            }
        }
        return depth == 0;
    }
};

// Digits of a JSON number: its integer part and up to three digits of its fraction.
bool ReadNumber(const char* p, int n, uint64_t* whole, int* fraction, int* places) {
    int i = 0;
    *whole = 0;
    int digits = 0;
    for (; i < n && IsStampDigit(p[i]); ++i, ++digits) {
        if (digits >= 20) return false;
        *whole = *whole * 10 + static_cast<uint64_t>(p[i] - '0');
    }
    if (digits == 0 || digits > 19) return false;
    *fraction = 0;
    *places = 0;
    if (i < n && p[i] == '.') {
        for (++i; i < n && IsStampDigit(p[i]); ++i) {
            if (*places < 3) *fraction = *fraction * 10 + (p[i] - '0');
            ++*places;
        }
    }
    // An exponent or any other byte glued to the digits: no plain number.
    return i == n || p[i] == ',' || p[i] == '}' || p[i] == ']' || p[i] == ' ' || p[i] == '\t' || p[i] == '\r' ||
           p[i] == '\n';
}

// An epoch number: seconds, milliseconds, microseconds or nanoseconds by its magnitude.
int NumberStamp(const char* p, int n, CTimeStamp* stamp) {
    uint64_t whole = 0;
    int fraction = 0;
    int places = 0;
    if (!ReadNumber(p, n, &whole, &fraction, &places)) return 0;
    for (int k = places; k < 3; ++k) fraction *= 10;
    constexpr uint64_t kSecondsFrom = 946684800, kSecondsTo = 4102444800;
    if (whole >= kSecondsFrom && whole < kSecondsTo) return EpochStamp(whole * 1000 + fraction, stamp);
    constexpr uint64_t kUnits[] = {1, 1000, 1000000};  // milliseconds, microseconds, nanoseconds
    for (uint64_t unit : kUnits) {
        uint64_t ms = whole / unit;
        if (ms >= kSecondsFrom * 1000 && ms < kSecondsTo * 1000) return EpochStamp(ms, stamp);
    }
    return 0;
}

// A string value: a stamp in one of the built-in forms at its start, or epoch digits. (The
// line-start recogniser is not asked: it reads a fraction only when the line goes on.)
int TextStamp(const char* p, int n, CStampMatch* match) {
    // Most are ISO stamps, the form tried first after four digits and a dash.
    if (n >= 19 && p[4] == '-' && QuickIsoDate(p, n, 0, &match->stamp)) {
        match->form = StampForm::kIsoDate;
        match->offset = 0;
        return 1;
    }
    // Its first digits and the byte after them leave few forms to try.
    CFieldShape shape;
    shape.run = DigitsAt(p, n);
    shape.after = shape.run < n ? p[shape.run] : '\0';
    return ReadStampFormQuickly(p, n, 0, shape, match) || ReadEpochAt(p, n, 0, true, match);
}

int ValueStamp(const CJsonWalk& w, CStampMatch* match) {
    CStampMatch found;
    int at = w.i;
    if (w.p[at] == '"') {
        const char* end = static_cast<const char*>(std::memchr(w.p + at + 1, '"', static_cast<size_t>(w.n - at - 1)));
        if (end == nullptr || !TextStamp(w.p + at + 1, static_cast<int>(end - (w.p + at + 1)), &found)) return 0;
        match->stamp = found.stamp;
    } else if (!NumberStamp(w.p + at, w.n - at, &match->stamp)) {
        return 0;
    }
    match->form = StampForm::kJsonField;
    match->offset = at;
    return 1;
}

}  // namespace

bool IsJsonTimeKey(const char* key, int length) {
    auto is = [key, length](const char* name, int n) {
        return n == length && std::memcmp(name, key, static_cast<size_t>(n)) == 0;
    };
    // By length first: most keys of a line are none of these.
    switch (length) {
        case 1:
            return key[0] == 't';
        case 2:
            return is("ts", 2) || is("@t", 2);
        case 4:
            return is("time", 4) || is("date", 4);
        case 8:
            return is("datetime", 8);
        case 9:
            return is("timestamp", 9);
        case 10:
            return is("@timestamp", 10) || is("created_at", 10) || is("timeMillis", 10);
        default:
            return false;
    }
}

int ReadJsonStamp(const char* bytes, int length, CStampMatch* match) {
    *match = CStampMatch();
    if (bytes == nullptr || length <= 0) return 0;
    CJsonWalk w(bytes, length);
    w.SkipBlanks();
    if (w.i >= w.n || w.p[w.i] != '{') return 0;
    ++w.i;
    w.SkipBlanks();
    if (w.i >= w.n || w.p[w.i] != '"') return 0;
    for (;;) {
        // At a key's opening quote.
        int key = w.i + 1;
        if (!w.SkipString()) return 0;
        int keyLength = w.i - 1 - key;
        if (!w.Take(':')) return 0;
        w.SkipBlanks();
        if (w.i >= w.n) return 0;
        // The lengths of the time keys (1, 2, 4, 8, 9 and 10) rule out most other keys at once.
        bool timeLength = keyLength <= 10 && ((0x716u >> keyLength) & 1) != 0;
        if (timeLength && IsJsonTimeKey(bytes + key, keyLength) && ValueStamp(w, match)) return 1;
        if (!w.SkipValue()) return 0;
        // Most values are followed by a comma and the next key's quote at once.
        if (w.i + 1 < w.n && w.p[w.i] == ',' && w.p[w.i + 1] == '"') {
            ++w.i;
            continue;
        }
        if (!w.Take(',')) return 0;
        w.SkipBlanks();
        if (w.i >= w.n || w.p[w.i] != '"') return 0;
    }
}
