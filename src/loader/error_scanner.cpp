// The error-keyword test on bytes where it is exact, on converted text elsewhere.
// FindErrorKeyword tries every position whose unit has the error bit and every error keyword
// there; a keyword can only match where the unit equals its first unit, so at a flagged
// byte b only the error keywords beginning with b need comparing.
#include "loader/error_scanner.h"

#include <cstdlib>
#include <cstring>

#include "foundation/convert.h"
#include "keywords/keyword_set.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUILLON_HAVE_AVX2_PATH 1
#endif

CErrorScanner::CErrorScanner(const CKeywordSet* keywords, unsigned codePage)
    : m_keywords(keywords), m_codePage(codePage) {}

CErrorScanner::~CErrorScanner() { std::free(m_candidates); }

int CErrorScanner::Prepare() {
    m_active = false;
    if (m_keywords == nullptr) return 1;
    const uint8_t* flags = m_keywords->FlagTable();
    uint32_t errorCount = 0;
    bool asciiOnly = true;
    bool wideFlagged = false;  // a non-ASCII unit starts an error keyword
    for (uint32_t i = 0; i < m_keywords->Count(); ++i) {
        const CKeywordEntry& e = m_keywords->Entry(i);
        if (e.error == 0 || e.length == 0) continue;
        ++errorCount;
        if (!IsAsciiText(e.wide, e.length)) asciiOnly = false;
        if (e.wide[0] >= 0x80 && (flags[e.wide[0]] & kKeywordFlagError) != 0) wideFlagged = true;
    }
    if (errorCount == 0) return 1;
    m_traits = GetCodePageTraits(m_codePage);
    m_anyLineOnBytes = m_traits.utf8 && asciiOnly && !wideFlagged;

    m_candidates = static_cast<Candidate*>(std::calloc(errorCount, sizeof(Candidate)));
    if (m_candidates == nullptr) return 0;
    BuildPairFilter(flags, GroupByFirstByte());
#if defined(QUILLON_HAVE_AVX2_PATH)
    m_avx2 = __builtin_cpu_supports("avx2") != 0;
#endif
    for (int b = 0; b < 256; ++b) {
        if (b >= 0x80) {
            m_class[b] = 2;
        } else if ((flags[b] & kKeywordFlagError) != 0) {
            m_class[b] = 1;
        }
    }
    m_active = true;
    return 1;
}

// Groups the ASCII error keywords by first byte, keeping set order within a group; returns
// how many there are.
uint32_t CErrorScanner::GroupByFirstByte() {
    auto grouped = [](const CKeywordEntry& e) {
        return e.error != 0 && e.length != 0 && e.wide[0] < 128 && IsAsciiText(e.wide, e.length);
    };
    // Counted, then placed: one pass over the set each, rather than one per first byte.
    for (uint32_t i = 0; i < m_keywords->Count(); ++i) {
        const CKeywordEntry& e = m_keywords->Entry(i);
        if (grouped(e)) ++m_count[e.wide[0]];
    }
    uint32_t next[128];
    uint32_t total = 0;
    for (int b = 0; b < 128; ++b) {
        m_first[b] = total;
        next[b] = total;
        total += m_count[b];
    }
    for (uint32_t i = 0; i < m_keywords->Count(); ++i) {
        const CKeywordEntry& e = m_keywords->Entry(i);
        if (grouped(e)) m_candidates[next[e.wide[0]]++] = Candidate{e.wide, e.length};
    }
    return total;
}

// The distinct first two bytes of the count grouped candidates, for the vector filter;
// m_pairCount -1 when there are more than it holds.
void CErrorScanner::BuildPairFilter(const uint8_t* flags, uint32_t count) {
    m_pairCount = 0;
    for (uint32_t k = 0; k < count && m_pairCount >= 0; ++k) {
        const Candidate& c = m_candidates[k];
        if ((flags[c.text[0]] & kKeywordFlagError) == 0) continue;  // never tried: its unit is not flagged
        uint8_t first = static_cast<uint8_t>(c.text[0]);
        uint8_t second = c.length > 1 ? static_cast<uint8_t>(c.text[1]) : 0;
        bool known = false;
        for (int p = 0; p < m_pairCount && !known; ++p) {
            known = m_pairFirst[p] == first && (m_pairSecond[p] == second || m_pairSecond[p] == 0);
        }
        if (known) continue;
        if (m_pairCount == kMaxFilterPairs) {
            m_pairCount = -1;
            break;
        }
        m_pairFirst[m_pairCount] = first;
        m_pairSecond[m_pairCount] = second;
        std::memset(m_wideFirst[m_pairCount], first, 16);
        std::memset(m_wideSecond[m_pairCount], second, 16);
        ++m_pairCount;
    }
}

int CErrorScanner::TryAt(const unsigned char* bytes, uint32_t length, uint32_t at) const {
    const Candidate* c = m_candidates + m_first[bytes[at]];
    for (uint32_t k = 0; k < m_count[bytes[at]]; ++k, ++c) {
        if (static_cast<uint32_t>(c->length) > length - at) continue;
        int32_t i = 1;
        while (i < c->length && c->text[i] == bytes[at + i]) ++i;
        if (i == c->length) return 1;
    }
    return 0;
}

int CErrorScanner::Convert(const char* bytes, uint32_t length) {
    // A unit never takes more than a byte in the code pages used for logs; ask when it does.
    size_t need = static_cast<size_t>(length) + 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_wide.Grow(need)) return -1;
        // Geometric growth may pass what an int counts.
        int capacity = m_wide.Capacity() < INT32_MAX ? static_cast<int>(m_wide.Capacity()) : INT32_MAX;
        int n = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), m_wide.Data(), capacity);
        if (n > 0 || length == 0) return n;
        int needed = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), nullptr, 0);
        if (needed <= 0 || needed < capacity) return 0;
        need = static_cast<size_t>(needed) + 1;
    }
    return 0;
}

int CErrorScanner::ScanVector16(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* next,
                                uint32_t* stop) const {
    uint32_t i = 0;
#if defined(__SSE2__)
    // Positions whose first two bytes start some candidate; TryAt decides.
    // The last step overlaps the one before it, so only the final byte is left over.
    for (bool last = false; !last;) {
        uint32_t at = i;
        uint32_t keep = ~0u;
        if (i + 17 > length) {
            if (length < 17 || i + 1 >= length) break;
            at = length - 17;
            keep = ~((1u << (i - at)) - 1);
            last = true;
        }
        __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 1));
        __m128i hit = _mm_setzero_si128();
        for (int p = 0; p < m_pairCount; ++p) {
            __m128i first = _mm_cmpeq_epi8(v0, _mm_load_si128(reinterpret_cast<const __m128i*>(m_wideFirst[p])));
            if (m_pairSecond[p] != 0) {
                __m128i second = _mm_load_si128(reinterpret_cast<const __m128i*>(m_wideSecond[p]));
                first = _mm_and_si128(first, _mm_cmpeq_epi8(v1, second));
            }
            hit = _mm_or_si128(hit, first);
        }
        uint32_t mask = static_cast<uint32_t>(_mm_movemask_epi8(hit)) & keep;
        uint32_t high = stopAtHighByte ? static_cast<uint32_t>(_mm_movemask_epi8(v0)) & keep : 0;
        if (high != 0) mask &= (high & (0u - high)) - 1;  // only the bytes before the first high one
        for (; mask != 0; mask &= mask - 1) {
            if (TryAt(bytes, length, at + static_cast<uint32_t>(__builtin_ctz(mask)))) return 1;
        }
        if (high != 0) {
            *stop = at + static_cast<uint32_t>(__builtin_ctz(high));
            i = length;
            break;
        }
        i = last ? length - 1 : i + 16;
    }
#endif
    *next = i;
    return 0;
}

#if defined(QUILLON_HAVE_AVX2_PATH)
__attribute__((target("avx2"))) int CErrorScanner::ScanVector32(const unsigned char* bytes, uint32_t length,
                                                                bool stopAtHighByte, uint32_t* next,
                                                                uint32_t* stop) const {
    uint32_t i = 0;
    for (bool last = false; !last;) {
        uint32_t at = i;
        uint32_t keep = ~0u;
        if (i + 33 > length) {
            if (length < 33 || i + 1 >= length) break;
            at = length - 33;
            keep = ~((1u << (i - at)) - 1);
            last = true;
        }
        __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at));
        __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at + 1));
        __m256i hit = _mm256_setzero_si256();
        for (int p = 0; p < m_pairCount; ++p) {
            __m256i a = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(m_wideFirst[p])));
            __m256i first = _mm256_cmpeq_epi8(v0, a);
            if (m_pairSecond[p] != 0) {
                __m256i b =
                    _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(m_wideSecond[p])));
                first = _mm256_and_si256(first, _mm256_cmpeq_epi8(v1, b));
            }
            hit = _mm256_or_si256(hit, first);
        }
        uint32_t mask = static_cast<uint32_t>(_mm256_movemask_epi8(hit)) & keep;
        uint32_t high = stopAtHighByte ? static_cast<uint32_t>(_mm256_movemask_epi8(v0)) & keep : 0;
        if (high != 0) mask &= (high & (0u - high)) - 1;
        for (; mask != 0; mask &= mask - 1) {
            if (TryAt(bytes, length, at + static_cast<uint32_t>(__builtin_ctz(mask)))) return 1;
        }
        if (high != 0) {
            *stop = at + static_cast<uint32_t>(__builtin_ctz(high));
            i = length;
            break;
        }
        i = last ? length - 1 : i + 32;
    }
    *next = i;
    return 0;
}
#else
int CErrorScanner::ScanVector32(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* next,
                                uint32_t* stop) const {
    return ScanVector16(bytes, length, stopAtHighByte, next, stop);
}
#endif

int CErrorScanner::ScanBytes(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* stop) const {
    *stop = length;
    uint32_t i = 0;
    if (m_pairCount >= 0) {
        int found = m_avx2 ? ScanVector32(bytes, length, stopAtHighByte, &i, stop)
                           : ScanVector16(bytes, length, stopAtHighByte, &i, stop);
        if (found) return 1;
    }
    for (; i < length; ++i) {
        uint8_t c = m_class[bytes[i]];
        if (c == 0) continue;
        if (c == 2) {
            if (!stopAtHighByte) continue;
            *stop = i;
            return 0;
        }
        if (TryAt(bytes, length, i)) return 1;
    }
    return 0;
}

int CErrorScanner::HasError(const char* text, uint32_t length) {
    if (!m_active) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    uint32_t stop = length;
    if (m_anyLineOnBytes) return ScanBytes(bytes, length, false, &stop);
    if (m_traits.asciiIdentity) {
        // Up to the first byte of 0x80 or more, bytes are units; a match there stands.
        if (ScanBytes(bytes, length, true, &stop)) return 1;
        if (stop == length) return 0;
    }
    int n = Convert(text, length);
    if (n <= 0) return 0;
    return m_keywords->FindErrorKeyword(m_wide.Data(), n) >= 0 ? 1 : 0;
}
