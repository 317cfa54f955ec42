// Byte-level matching. In a code page that maps ASCII one to one, an ASCII text occurs in
// a line of ASCII bytes exactly where its bytes do. In UTF-8 more holds: decoding
// resynchronises at every ASCII and lead byte, so any text of paired UTF-16 without U+FFFD
// occurs in the decoded line exactly where its UTF-8 form occurs in the bytes, whatever
// else the line holds. Ignoring case, a folded text of ASCII is found by comparing ASCII
// letters in either case - exactly so in UTF-8 unless it holds a letter that a character
// beyond ASCII folds to (s, k). Everything else is decoded and tested unit by unit.
#include "search/line_matcher.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/escape_codes.h"
#include "foundation/convert.h"
#include "search/case_fold.h"
#include "search/regex.h"
#include "search/regex_literals.h"

namespace {

// Well-formed UTF-16 without the replacement character, which invalid bytes also decode to.
bool HasExactUtf8Form(const char16_t* text, int n) {
    for (int i = 0; i < n; ++i) {
        char16_t u = text[i];
        if (u == 0xFFFD) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= n || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

bool HasHighByte(const char* bytes, uint32_t length) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    uint32_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        std::memcpy(&w, b + i, 8);
        if ((w & 0x8080808080808080ull) != 0) return true;
    }
    for (; i < length; ++i) {
        if (b[i] >= 0x80) return true;
    }
    return false;
}

}  // namespace

#if defined(__SSE2__)
// Tries the starts i.. of a needle whose first two bytes are c0 and c1, 16 starts at a
// time: where text[j] | b0 == c0 and text[j + 1] | b1 == c1 (b0 and b1 are the case bits
// when kFold, else unused), confirm(j) decides. The last step overlaps the one before it.
// Returns the first start confirmed, or -1 with *i at the first start not yet tried.
template <bool kFold, typename Confirm>
int64_t ScanPairs(const char* text, size_t n, size_t lastStart, char c0, char c1, char b0, char b1, size_t* i,
                  Confirm confirm) {
    const __m128i first = _mm_set1_epi8(c0);
    const __m128i second = _mm_set1_epi8(c1);
    const __m128i firstBit = _mm_set1_epi8(b0);
    const __m128i secondBit = _mm_set1_epi8(b1);
    for (bool last = false; !last && n >= 17 && *i <= lastStart;) {
        size_t at = *i;
        uint32_t keep = ~0u;
        if (*i + 17 > n) {
            at = n - 17;
            keep = ~((1u << (*i - at)) - 1);
            last = true;
        }
        __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + 1));
        if (kFold) {
            v0 = _mm_or_si128(v0, firstBit);
            v1 = _mm_or_si128(v1, secondBit);
        }
        uint32_t mask = static_cast<uint32_t>(
                            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(v0, first), _mm_cmpeq_epi8(v1, second)))) &
                        keep;
        for (; mask != 0; mask &= mask - 1) {
            size_t j = at + static_cast<size_t>(__builtin_ctz(mask));
            if (j > lastStart) break;
            if (confirm(j)) return static_cast<int64_t>(j);
        }
        *i = last ? lastStart + 1 : *i + 16;
    }
    return -1;
}
#endif

int64_t FindBytes(const char* text, size_t n, const char* needle, size_t m) {
    if (m == 0 || m > n) return -1;
    if (m == 1) {
        const void* p = std::memchr(text, needle[0], n);
        return p != nullptr ? static_cast<const char*>(p) - text : -1;
    }
    size_t i = 0;
    const size_t lastStart = n - m;  // the last position where the needle fits
    auto rest = [&](size_t j) { return std::memcmp(text + j + 2, needle + 2, m - 2) == 0; };
#if defined(__SSE2__)
    int64_t found = ScanPairs<false>(text, n, lastStart, needle[0], needle[1], 0, 0, &i, rest);
    if (found >= 0) return found;
#endif
    for (; i <= lastStart; ++i) {
        if (text[i] == needle[0] && text[i + 1] == needle[1] && rest(i)) return static_cast<int64_t>(i);
    }
    return -1;
}

int64_t FindBytesFolded(const char* text, size_t n, const char* needle, size_t m) {
    if (m == 0 || m > n) return -1;
    // A letter's byte with the case bit set equals its lower-case form; other bytes compare as they are.
    auto caseBit = [](char c) { return c >= 'a' && c <= 'z' ? '\x20' : '\0'; };
    size_t i = 0;
    const size_t lastStart = n - m;
    auto rest = [&](size_t j) {
        for (size_t k = 1; k < m; ++k) {
            if ((text[j + k] | caseBit(needle[k])) != needle[k]) return false;
        }
        return true;
    };
#if defined(__SSE2__)
    if (m >= 2) {
        int64_t found =
            ScanPairs<true>(text, n, lastStart, needle[0], needle[1], caseBit(needle[0]), caseBit(needle[1]), &i, rest);
        if (found >= 0) return found;
    }
#endif
    for (; i <= lastStart; ++i) {
        if ((text[i] | caseBit(needle[0])) == needle[0] && rest(i)) return static_cast<int64_t>(i);
    }
    return -1;
}

CLineMatcher::CLineMatcher(const CSearchCondition& condition, unsigned codePage, bool hideEscapes)
    : m_condition(condition), m_codePage(codePage), m_hideEscapes(hideEscapes) {}

CLineMatcher::~CLineMatcher() {
    for (Pattern& p : m_patterns) {
        for (char* bytes : p.bytes) std::free(bytes);
    }
}

int CLineMatcher::PreparePattern(int i, Pattern* p, bool* exactInUtf8) {
    int n = 0;
    const char16_t* text = m_condition.ComparedText(i, &n);
    int options = m_condition.Options(i);
    p->folded = (options & kMatchCase) == 0;
    // The alternatives: the text itself, or the texts a regular expression matches exactly.
    const char16_t* units[kMaxAlternatives] = {text};
    int lengths[kMaxAlternatives] = {n};
    int count = 1;
    char16_t* folded = nullptr;
    CLiteralSet set;
    if ((options & kRegex) != 0) {
        int starts[kMaxAlternatives] = {0};
        count = LiteralAlternatives(text, n, starts, lengths, kMaxAlternatives);
        if (count > 0 && p->folded) {
            folded = static_cast<char16_t*>(std::malloc((static_cast<size_t>(n) + 1) * sizeof(char16_t)));
            if (folded == nullptr) return 0;
            FoldText(text, n, folded);
            text = folded;
        }
        for (int a = 0; a < count; ++a) units[a] = text + starts[a];
        // Other expressions that are a few texts (such as time(d ?)?out) are searched as them.
        if (count == 0 && DeriveLiterals(text, n, p->folded, &set) && set.exact && set.folded == p->folded &&
            set.count <= kMaxAlternatives) {
            count = set.count;
            for (int a = 0; a < count; ++a) {
                units[a] = set.items[a].units;
                lengths[a] = set.items[a].length;
            }
        }
        // Any other expression is only known on the decoded line.
        if (count == 0) return -1;
    }
    bool allAscii = true;
    bool exactForm = true;
    bool foldedFromBeyond = false;
    for (int a = 0; a < count; ++a) {
        allAscii = allAscii && IsAsciiText(units[a], lengths[a]);
        exactForm = exactForm && HasExactUtf8Form(units[a], lengths[a]);
        for (int k = 0; p->folded && k < lengths[a]; ++k) foldedFromBeyond |= IsFoldedFromBeyondAscii(units[a][k]);
    }
    p->exactInUtf8 = allAscii || (!p->folded && exactForm);
    if (p->folded && allAscii && foldedFromBeyond) p->exactInUtf8 = false;
    bool utf8Forms = m_traits.utf8 && p->exactInUtf8;
    int ok = 1;
    p->count = count;
    for (int a = 0; a < count && ok; ++a) {
        // An alternative of other characters cannot occur in a line of ASCII bytes; in UTF-8
        // it may have an exact byte form.
        p->ascii[a] = IsAsciiText(units[a], lengths[a]);
        if (!p->ascii[a] && !utf8Forms) continue;
        p->bytes[a] = WideToMultiByteAlloc(units[a], lengths[a], kCodePageUtf8);
        if (p->bytes[a] == nullptr) ok = 0;
        if (ok) p->length[a] = static_cast<uint32_t>(std::strlen(p->bytes[a]));
    }
    std::free(folded);
    if (!utf8Forms) *exactInUtf8 = false;
    return ok;
}

int CLineMatcher::Prepare() {
    m_count = m_condition.Count();
    m_traits = GetCodePageTraits(m_codePage);
    m_escapeIsItsByte = m_traits.asciiIdentity || m_traits.utf8;
    bool allExactUtf8 = true;
    bool anyUnknown = false;
    for (int i = 0; i < m_count; ++i) {
        int prepared = PreparePattern(i, &m_patterns[i], &allExactUtf8);
        if (prepared == 0) return 0;
        if (prepared < 0) {
            anyUnknown = true;
            allExactUtf8 = false;
        }
    }
    m_bytesAlways = m_traits.utf8 && allExactUtf8;
    m_bytesWhenAscii = m_traits.asciiIdentity && !anyUnknown;
    return 1;
}

bool CLineMatcher::FoundInBytes(int i, const char* bytes, uint32_t length, bool asciiLine) const {
    const Pattern& p = m_patterns[i];
    for (int a = 0; a < p.count; ++a) {
        if (p.bytes[a] == nullptr || (asciiLine && !p.ascii[a])) continue;
        if ((p.folded ? FindBytesFolded(bytes, length, p.bytes[a], p.length[a])
                      : FindBytes(bytes, length, p.bytes[a], p.length[a])) >= 0) {
            return true;
        }
    }
    return false;
}

// As CSearchCondition::Matches: the positive texts, then the kNot texts.
int CLineMatcher::MatchBytes(const char* bytes, uint32_t length, bool asciiLine) const {
    bool all = m_condition.MatchAll() != 0;
    bool any = false;
    bool satisfied = all;
    for (int i = 0; i < m_count; ++i) {
        if (m_condition.IsNot(i)) continue;
        any = true;
        bool found = FoundInBytes(i, bytes, length, asciiLine);
        if (all && !found) return 0;
        if (!all && found) {
            satisfied = true;
            break;
        }
    }
    if (any && !satisfied) return 0;
    for (int i = 0; i < m_count; ++i) {
        if (m_condition.IsNot(i) && FoundInBytes(i, bytes, length, asciiLine)) return 0;
    }
    return 1;
}

int CLineMatcher::MatchConverted(const char* bytes, uint32_t length, bool hide) {
    size_t need = static_cast<size_t>(length) + 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_wide.Reserve(need)) return 0;
        int capacity = static_cast<int>(m_wide.Capacity());
        int n = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), m_wide.Data(), capacity);
        if (n > 0 && hide) n = HideEscapes(m_wide.Data(), n);
        if (n > 0) return m_condition.Matches(m_wide.Data(), n);
        int needed = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), nullptr, 0);
        if (needed <= 0 || needed < capacity) return 0;
        need = static_cast<size_t>(needed) + 1;
    }
    return 0;
}

int CLineMatcher::Matches(const char* bytes, uint32_t length, bool noEscapeByte) {
    if (m_count == 0 || length == 0) return 0;
    // A line with escape sequences is matched on its shown text; where the escape has a byte
    // of its own, a line without that byte is matched as it always was.
    if (m_hideEscapes && (!m_escapeIsItsByte || (!noEscapeByte && std::memchr(bytes, 0x1B, length) != nullptr))) {
        return MatchConverted(bytes, length, true);
    }
    if (m_bytesAlways) return MatchBytes(bytes, length, false);
    if (m_bytesWhenAscii && !HasHighByte(bytes, length)) return MatchBytes(bytes, length, true);
    return MatchConverted(bytes, length, false);
}
