// The multi-string search: a pair filter per string (two byte compares per place, the
// pairs or-ed together over sixteen places), then each flagged place confirmed.
#include "search/multi_literal.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How often a byte shows in logs, roughly: a pair of rare bytes flags few places.
int Commonness(unsigned char c, bool folded) {
    if (c == ' ' || (c >= '0' && c <= '9')) return 10;
    if (std::strchr("etaoinsr", c) != nullptr && c != 0) return folded ? 9 : 8;
    if (c >= 'a' && c <= 'z') return folded ? 7 : 6;
    if (c != 0 && std::strchr("=:.-/,_\"", c) != nullptr) return 6;
    if (c >= 'A' && c <= 'Z') return 4;
    if (c >= 0x80) return 3;
    return 2;
}

char CaseBit(char c, bool folded) { return folded && c >= 'a' && c <= 'z' ? '\x20' : '\0'; }

}  // namespace

int CMultiLiteral::Add(const char* bytes, int n, bool folded) {
    if (n <= 0 || n > kMaxBytes || m_count == kMaxStrings) return 0;
    CString& s = m_strings[m_count++];
    std::memcpy(s.bytes, bytes, static_cast<size_t>(n));
    s.length = n;
    s.folded = folded;
    // The two rarest places, in order.
    int a = 0;
    for (int i = 1; i < n; ++i) {
        if (Commonness(static_cast<unsigned char>(bytes[i]), folded) <
            Commonness(static_cast<unsigned char>(bytes[a]), folded)) {
            a = i;
        }
    }
    int b = a == 0 ? (n > 1 ? 1 : 0) : 0;
    for (int i = 0; i < n; ++i) {
        if (i != a && Commonness(static_cast<unsigned char>(bytes[i]), folded) <
                          Commonness(static_cast<unsigned char>(bytes[b]), folded)) {
            b = i;
        }
    }
    if (b < a) {
        int t = a;
        a = b;
        b = t;
    }
    CPair pair = {static_cast<uint8_t>(a),   static_cast<uint8_t>(b),  bytes[a], bytes[b],
                  CaseBit(bytes[a], folded), CaseBit(bytes[b], folded)};
    for (int k = 0; k < m_pairCount; ++k) {
        const CPair& p = m_pairs[k];
        if (p.offsetA == pair.offsetA && p.offsetB == pair.offsetB && p.byteA == pair.byteA && p.byteB == pair.byteB &&
            p.caseA == pair.caseA && p.caseB == pair.caseB) {
            return 1;
        }
    }
    m_pairs[m_pairCount++] = pair;
    if (static_cast<size_t>(b) + 1 > m_reach) m_reach = static_cast<size_t>(b) + 1;
    return 1;
}

bool CMultiLiteral::MatchesAt(const char* text, size_t n, size_t at) const {
    for (int i = 0; i < m_count; ++i) {
        const CString& s = m_strings[i];
        if (static_cast<size_t>(s.length) > n - at) continue;
        const char* t = text + at;
        int k = 0;
        if (s.folded) {
            while (k < s.length && (t[k] | CaseBit(s.bytes[k], true)) == s.bytes[k]) ++k;
        } else {
            while (k < s.length && t[k] == s.bytes[k]) ++k;
        }
        if (k == s.length) return true;
    }
    return false;
}

int64_t CMultiLiteral::Find(const char* text, size_t n, size_t from) const {
    if (m_count == 0) return -1;
    size_t at = from;
#if defined(__SSE2__)
    // Sixteen places at a time while the farthest pair byte of the last place is in range.
    if (m_pairCount == 1) {
        const CPair& p = m_pairs[0];
        const __m128i byteA = _mm_set1_epi8(p.byteA);
        const __m128i byteB = _mm_set1_epi8(p.byteB);
        const __m128i caseA = _mm_set1_epi8(p.caseA);
        const __m128i caseB = _mm_set1_epi8(p.caseB);
        for (; at + m_reach + 15 < n; at += 16) {
            __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + p.offsetA)), caseA);
            __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + p.offsetB)), caseB);
            auto mask = static_cast<uint32_t>(
                _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, byteA), _mm_cmpeq_epi8(b, byteB))));
            for (; mask != 0; mask &= mask - 1) {
                size_t place = at + static_cast<size_t>(__builtin_ctz(mask));
                if (MatchesAt(text, n, place)) return static_cast<int64_t>(place);
            }
        }
    } else {
        __m128i bytes[2 * kMaxStrings];
        __m128i cases[2 * kMaxStrings];
        for (int k = 0; k < m_pairCount; ++k) {
            bytes[2 * k] = _mm_set1_epi8(m_pairs[k].byteA);
            bytes[2 * k + 1] = _mm_set1_epi8(m_pairs[k].byteB);
            cases[2 * k] = _mm_set1_epi8(m_pairs[k].caseA);
            cases[2 * k + 1] = _mm_set1_epi8(m_pairs[k].caseB);
        }
        for (; at + m_reach + 15 < n; at += 16) {
            __m128i any = _mm_setzero_si128();
            for (int k = 0; k < m_pairCount; ++k) {
                const char* base = text + at;
                __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base + m_pairs[k].offsetA)),
                                         cases[2 * k]);
                __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base + m_pairs[k].offsetB)),
                                         cases[2 * k + 1]);
                any = _mm_or_si128(any,
                                   _mm_and_si128(_mm_cmpeq_epi8(a, bytes[2 * k]), _mm_cmpeq_epi8(b, bytes[2 * k + 1])));
            }
            auto mask = static_cast<uint32_t>(_mm_movemask_epi8(any));
            for (; mask != 0; mask &= mask - 1) {
                size_t place = at + static_cast<size_t>(__builtin_ctz(mask));
                if (MatchesAt(text, n, place)) return static_cast<int64_t>(place);
            }
        }
    }
#endif
    for (; at < n; ++at) {
        if (MatchesAt(text, n, at)) return static_cast<int64_t>(at);
    }
    return -1;
}
