// The prefilter's literals and how a span's hits map back to its lines. Why a literal's
// bytes answer exactly: in UTF-8 a text of paired UTF-16 without U+FFFD occurs in a decoded
// line exactly where its UTF-8 form occurs in the bytes, and a run of ASCII units only
// where the same bytes stand together (CLineMatcher relies on the same). Ignoring case, an
// ASCII letter comes from either case of its byte, or from U+017F (s) or U+212A (k), whose
// bytes are therefore literals of their own. In another code page that maps ASCII one to
// one, a span of ASCII bytes decodes to itself; a span with other bytes is not filtered.
#include "search/line_prefilter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/code_page_traits.h"
#include "search/regex_literals.h"

namespace {

bool HasHighByte(const char* bytes, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i))) != 0) return true;
    }
#endif
    for (; i < n; ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0x80) != 0) return true;
    }
    return false;
}

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// The UTF-8 form of units, when they are paired UTF-16 without U+FFFD; else 0.
int Utf8Form(const char16_t* units, int n, char* out, int capacity) {
    int k = 0;
    for (int i = 0; i < n; ++i) {
        uint32_t c = units[i];
        if (c == 0xFFFD || k + 4 > capacity) return 0;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        } else if (IsSurrogate(static_cast<char16_t>(c))) {
            return 0;
        }
        if (c < 0x80) {
            out[k++] = static_cast<char>(c);
        } else if (c < 0x800) {
            out[k++] = static_cast<char>(0xC0 | (c >> 6));
            out[k++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out[k++] = static_cast<char>(0xE0 | (c >> 12));
            out[k++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[k++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out[k++] = static_cast<char>(0xF0 | (c >> 18));
            out[k++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out[k++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[k++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return k;
}

// The longest run of ASCII units (at most capacity of them) as bytes: it occurs wherever
// the text does.
int LongestAsciiRun(const char16_t* units, int n, char* out, int capacity) {
    int best = 0;
    int bestLength = 0;
    for (int i = 0; i < n;) {
        int j = i;
        while (j < n && units[j] < 0x80) ++j;
        if (j - i > bestLength) {
            best = i;
            bestLength = j - i;
        }
        i = j + 1;
    }
    if (bestLength > capacity) bestLength = capacity;
    for (int k = 0; k < bestLength; ++k) out[k] = static_cast<char>(units[best + k]);
    return bestLength;
}

}  // namespace

int CLinePrefilter::AddLiteral(const char16_t* units, int length, bool folded) {
    char bytes[CMultiLiteral::kMaxBytes];
    int n = m_utf8 && !folded ? Utf8Form(units, length, bytes, CMultiLiteral::kMaxBytes) : 0;
    if (n == 0) n = LongestAsciiRun(units, length, bytes, CMultiLiteral::kMaxBytes);
    for (int k = 0; folded && k < n; ++k) {
        if (bytes[k] == 's' || bytes[k] == 'k') m_foldedKs = true;
    }
    return n > 0 && m_literals.Add(bytes, n, folded);
}

// Adds the literals of text i; 0 when it has none.
int CLinePrefilter::AddText(const CSearchCondition& condition, int i) {
    int options = condition.Options(i);
    bool folded = (options & kMatchCase) == 0;
    int n = 0;
    if ((options & kRegex) != 0) {
        const char16_t* pattern = condition.WideText(i, &n);
        CLiteralSet set;
        if (!DeriveLiterals(pattern, n, folded, &set)) return 0;
        for (int k = 0; k < set.count; ++k) {
            if (!AddLiteral(set.items[k].units, set.items[k].length, set.folded)) return 0;
        }
        return 1;
    }
    const char16_t* text = condition.ComparedText(i, &n);
    return AddLiteral(text, n, folded);
}

void CLinePrefilter::Prepare(const CSearchCondition& condition, unsigned codePage, bool hideEscapes) {
    m_active = false;
    CCodePageTraits traits = GetCodePageTraits(codePage);
    if (!traits.utf8 && !traits.asciiIdentity) return;
    m_utf8 = traits.utf8;
    int count = condition.Count();
    // A kNot text is required absent, never present: only the other texts give literals.
    // Of kNot texts alone, the literals of them all tell the lines that surely match.
    m_inverted = condition.PositiveCount() == 0;
    if (m_inverted) {
        for (int i = 0; i < count; ++i) {
            if (!AddText(condition, i)) return;
        }
    } else if (condition.MatchAll() != 0) {
        // Every text must occur: the literals of the one that narrows the search most.
        int best = -1;
        int bestScore = 0;
        for (int i = 0; i < count; ++i) {
            if (condition.IsNot(i)) continue;
            CLiteralSet set;
            int options = condition.Options(i);
            int n = 0;
            const char16_t* text = condition.ComparedText(i, &n);
            if ((options & kRegex) == 0) {
                set.count = 1;
                set.items[0].length = n < kMaxLiteralUnits ? n : kMaxLiteralUnits;
                std::memcpy(set.items[0].units, text, static_cast<size_t>(set.items[0].length) * sizeof(char16_t));
            } else if (!DeriveLiterals(text, n, (options & kMatchCase) == 0, &set)) {
                continue;
            }
            int score = LiteralSetScore(set);
            if (best < 0 || score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best < 0 || !AddText(condition, best)) return;
    } else {
        for (int i = 0; i < count; ++i) {
            if (!condition.IsNot(i) && !AddText(condition, i)) return;
        }
    }
    // A line holding these may match in ways its other bytes do not show.
    if (m_foldedKs && m_utf8) {
        m_beyondAscii.Add("\xC5\xBF", 2, false);
        m_beyondAscii.Add("\xE2\x84\xAA", 3, false);
    }
    m_hideEscapes = hideEscapes;
    m_active = true;
}

int CLinePrefilter::Group(const CLogLine* entries, int n, bool backward, uint64_t limit, uint64_t* lo, uint64_t* hi) {
    auto end = [](const CLogLine& e) { return e.offset + (e.length > 0 ? static_cast<uint64_t>(e.length) : 0); };
    *lo = entries[0].offset;
    *hi = end(entries[0]);
    if (*hi - *lo > limit) return 0;
    int k = 1;
    for (; k < n; ++k) {
        const CLogLine& e = entries[k];
        if (backward) {
            if (end(e) > *lo || *hi - e.offset > limit) break;
            *lo = e.offset;
        } else {
            if (e.offset < *hi || end(e) - *lo > limit) break;
            *hi = end(e);
        }
    }
    return k;
}

namespace {

// Flags each entry that a place find(from) returns (the first at or after from, -1 for
// none) lies in; a place between lines flags none.
template <typename Find>
void MarkHits(const CLogLine* entries, int n, bool backward, uint64_t start, uint8_t* flags, Find find) {
    auto at = [&](int j) { return backward ? n - 1 - j : j; };  // the j-th entry in file order
    size_t pos = 0;
    for (int j = 0; j < n;) {
        int64_t hit = find(pos);
        if (hit < 0) return;
        auto h = static_cast<size_t>(hit);
        for (; j < n; ++j) {
            const CLogLine& e = entries[at(j)];
            if (static_cast<size_t>(e.offset - start) + (e.length > 0 ? static_cast<size_t>(e.length) : 0) > h) break;
        }
        if (j == n) return;
        size_t lineStart = static_cast<size_t>(entries[at(j)].offset - start);
        if (h < lineStart) {
            pos = lineStart;
            continue;
        }
        *(flags + at(j)) = 1;
        pos = lineStart + static_cast<size_t>(entries[at(j)].length);
        ++j;
    }
}

}  // namespace

// Whether the n bytes may hold U+017F or U+212A: their lead bytes.
bool CLinePrefilter::MayHoldBeyondAscii(const char* bytes, size_t n) const {
    return m_beyondAscii.Count() > 0 &&
           (std::memchr(bytes, 0xC5, n) != nullptr || std::memchr(bytes, 0xE2, n) != nullptr);
}

bool CLinePrefilter::HoldsNone(const char* bytes, size_t n) const {
    if (!m_utf8 && HasHighByte(bytes, n)) return false;
    if (m_literals.Find(bytes, n, 0) >= 0) return false;
    if (MayHoldBeyondAscii(bytes, n) && m_beyondAscii.Find(bytes, n, 0) >= 0) return false;
    return !m_hideEscapes || std::memchr(bytes, 0x1B, n) == nullptr;
}

void CLinePrefilter::Mark(const CLogLine* entries, int n, bool backward, const char* bytes, uint64_t start,
                          uint8_t* flags) const {
    size_t span = 0;
    for (int i = 0; i < n; ++i) {
        const CLogLine& e = entries[i];
        size_t end = static_cast<size_t>(e.offset - start) + (e.length > 0 ? static_cast<size_t>(e.length) : 0);
        if (end > span) span = end;
    }
    if (!m_utf8 && HasHighByte(bytes, span)) {
        std::memset(flags, 1, static_cast<size_t>(n));
        return;
    }
    std::memset(flags, 0, static_cast<size_t>(n));
    MarkHits(entries, n, backward, start, flags, [&](size_t from) { return m_literals.Find(bytes, span, from); });
    if (MayHoldBeyondAscii(bytes, span)) {
        MarkHits(entries, n, backward, start, flags,
                 [&](size_t from) { return m_beyondAscii.Find(bytes, span, from); });
    }
    // A line with an escape sequence is matched on what is left without it.
    if (!m_hideEscapes) return;
    MarkHits(entries, n, backward, start, flags, [&](size_t from) -> int64_t {
        const void* escape = from < span ? std::memchr(bytes + from, 0x1B, span - from) : nullptr;
        return escape != nullptr ? static_cast<const char*>(escape) - bytes : -1;
    });
}
