// CMultiLiteral: finds the first place where any of a few byte strings occurs, sixteen
// places at a time with SSE2 (plain loops elsewhere). Each string is looked for by a pair of
// rarest bytes and confirmed whole; one that ignores case compares ASCII letters in
// either case. The pairs come from the whole strings, or from their first bytes when strings
// that begin alike share fewer pairs so. One set per scan thread; Find does not change it.
#pragma once

#include <cstddef>
#include <cstdint>

class CMultiLiteral {
public:
    static constexpr int kMaxStrings = 40;
    static constexpr int kMaxBytes = 96;

    // Adds the n bytes (folded: ASCII letters given in lower case match in either case); 1,
    // or 0 when the set is full or the string empty or too long.
    int Add(const char* bytes, int n, bool folded);
    int Count() const { return m_count; }
    // The first position from `from` on where a string lies wholly within the n bytes, or -1.
    int64_t Find(const char* text, size_t n, size_t from) const;

private:
    struct CNeedle {
        char bytes[kMaxBytes];
        int length;
        bool folded;
    };
    // Where a candidate must have given bytes: at offsets a and b from its start, after
    // or-ing in the case bits.
    struct CPair {
        uint8_t offsetA, offsetB;
        char byteA, byteB;
        char caseA, caseB;
    };
    // The pairs of the strings, as few as their choice allows.
    struct CPairSet {
        CPair pairs[kMaxStrings];
        int count = 0;
        size_t reach = 0;     // the largest pair offset + 1
        bool folded = false;  // some pair has case bits
    };
    static constexpr int kPrefixBytes = 4;
    static void AddPair(CPairSet* set, const char* bytes, int n, bool folded);
    bool MatchesAt(const char* text, size_t n, size_t at) const;
    template <int kPairs, bool kFold>
    int64_t FindVector(const CPairSet& set, const char* text, size_t n, size_t* at) const;
    template <bool kFold>
    int64_t FindWith(const CPairSet& set, const char* text, size_t n, size_t* at) const;

    CNeedle m_strings[kMaxStrings];
    int m_count = 0;
    // By the rarest bytes of the whole strings, and of their first kPrefixBytes bytes.
    CPairSet m_sets[2];
};
