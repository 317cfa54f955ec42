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
    int bonus = folded ? 1 : 0;  // either case of the letter
    if (c == ' ' || (c >= '0' && c <= '9')) return 10;
    // The usual letters of words, and those of hexadecimal numbers.
    if (c != 0 && (std::strchr("etaoinsr", c) != nullptr || (c >= 'a' && c <= 'f'))) return 8 + bonus;
    if (c >= 'a' && c <= 'z') return 6 + bonus;
    if (c != 0 && std::strchr("=:.-/,_\"[]()", c) != nullptr) return 6;
    if (c >= 'A' && c <= 'Z') return 4;
    if (c >= 0x80) return 3;
    return 2;
}

char CaseBit(char c, bool folded) { return folded && c >= 'a' && c <= 'z' ? '\x20' : '\0'; }

}  // namespace

int CMultiLiteral::Add(const char* bytes, int n, bool folded) {
    if (n <= 0 || n > kMaxBytes || m_count == kMaxStrings) return 0;
    CNeedle& s = m_strings[m_count++];
    std::memcpy(s.bytes, bytes, static_cast<size_t>(n));
    s.length = n;
    s.folded = folded;
    AddPair(&m_sets[0], bytes, n, folded);
    AddPair(&m_sets[1], bytes, n < kPrefixBytes ? n : kPrefixBytes, folded);
    return 1;
}

// Adds the pair of the two rarest of the n bytes, in order, unless the set has it.
void CMultiLiteral::AddPair(CPairSet* set, const char* bytes, int n, bool folded) {
    auto rank = [&](int i) { return Commonness(static_cast<unsigned char>(bytes[i]), folded); };
    int a = 0;
    for (int i = 1; i < n; ++i) {
        if (rank(i) < rank(a)) a = i;
    }
    int b = a == 0 ? (n > 1 ? 1 : 0) : 0;
    for (int i = 0; i < n; ++i) {
        if (i != a && rank(i) < rank(b)) b = i;
    }
    if (b < a) {
        int t = a;
        a = b;
        b = t;
    }
    CPair pair = {static_cast<uint8_t>(a),   static_cast<uint8_t>(b),  bytes[a], bytes[b],
                  CaseBit(bytes[a], folded), CaseBit(bytes[b], folded)};
    if (pair.caseA != 0 || pair.caseB != 0) set->folded = true;
    for (int k = 0; k < set->count; ++k) {
        const CPair& p = set->pairs[k];
        if (p.offsetA == pair.offsetA && p.offsetB == pair.offsetB && p.byteA == pair.byteA && p.byteB == pair.byteB &&
            p.caseA == pair.caseA && p.caseB == pair.caseB) {
            return;
        }
    }
    set->pairs[set->count++] = pair;
    if (static_cast<size_t>(b) + 1 > set->reach) set->reach = static_cast<size_t>(b) + 1;
}

bool CMultiLiteral::MatchesAt(const char* text, size_t n, size_t at) const {
    for (int i = 0; i < m_count; ++i) {
        const CNeedle& s = m_strings[i];
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

#if defined(__SSE2__)
// The vector loop with kPairs pairs known at compile time (their bytes stay in registers;
// 0: set.count of them), and without the case bits unless kFold. Returns the first
// confirmed place, or -1 with *at at the first place not yet tried.
template <int kPairs, bool kFold>
int64_t CMultiLiteral::FindVector(const CPairSet& set, const char* text, size_t n, size_t* at) const {
    constexpr int kRegs = kPairs > 0 ? kPairs : kMaxStrings;
    const int pairs = kPairs > 0 ? kPairs : set.count;
    __m128i byteA[kRegs];
    __m128i byteB[kRegs];
    __m128i caseA[kRegs];
    __m128i caseB[kRegs];
    for (int k = 0; k < pairs; ++k) {
        byteA[k] = _mm_set1_epi8(set.pairs[k].byteA);
        byteB[k] = _mm_set1_epi8(set.pairs[k].byteB);
        caseA[k] = _mm_set1_epi8(set.pairs[k].caseA);
        caseB[k] = _mm_set1_epi8(set.pairs[k].caseB);
    }
    auto flagged = [&](const char* base) {
        __m128i any = _mm_setzero_si128();
        for (int k = 0; k < pairs; ++k) {
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + set.pairs[k].offsetA));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + set.pairs[k].offsetB));
            if (kFold) {
                a = _mm_or_si128(a, caseA[k]);
                b = _mm_or_si128(b, caseB[k]);
            }
            any = _mm_or_si128(any, _mm_and_si128(_mm_cmpeq_epi8(a, byteA[k]), _mm_cmpeq_epi8(b, byteB[k])));
        }
        return any;
    };
    size_t i = *at;
    // Thirty-two places a step, then sixteen; a step's places are confirmed in order.
    while (i + set.reach + 15 < n) {
        bool two = i + set.reach + 31 < n;
        __m128i low = flagged(text + i);
        __m128i high = two ? flagged(text + i + 16) : _mm_setzero_si128();
        auto mask =
            static_cast<uint32_t>(_mm_movemask_epi8(low)) | (static_cast<uint32_t>(_mm_movemask_epi8(high)) << 16);
        for (; mask != 0; mask &= mask - 1) {
            size_t place = i + static_cast<size_t>(__builtin_ctz(mask));
            if (MatchesAt(text, n, place)) return static_cast<int64_t>(place);
        }
        i += two ? 32 : 16;
    }
    *at = i;
    return -1;
}

template <bool kFold>
int64_t CMultiLiteral::FindWith(const CPairSet& set, const char* text, size_t n, size_t* at) const {
    switch (set.count) {
        case 1:
            return FindVector<1, kFold>(set, text, n, at);
        case 2:
            return FindVector<2, kFold>(set, text, n, at);
        case 3:
            return FindVector<3, kFold>(set, text, n, at);
        case 4:
            return FindVector<4, kFold>(set, text, n, at);
        default:
            return FindVector<0, kFold>(set, text, n, at);
    }
}
#endif

int64_t CMultiLiteral::Find(const char* text, size_t n, size_t from) const {
    if (m_count == 0) return -1;
    size_t at = from;
#if defined(__SSE2__)
    // The pairs of the whole strings, or of their first bytes when strings that begin alike
    // share fewer of those.
    const CPairSet& set = m_sets[1].count < m_sets[0].count ? m_sets[1] : m_sets[0];
    int64_t found = set.folded ? FindWith<true>(set, text, n, &at) : FindWith<false>(set, text, n, &at);
    if (found >= 0) return found;
#endif
    for (; at < n; ++at) {
        if (MatchesAt(text, n, at)) return static_cast<int64_t>(at);
    }
    return -1;
}
