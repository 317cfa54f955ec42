// CErrorScanner: the loader's error-keyword test of one line. The answer is always that of
// CKeywordSet::FindErrorKeyword on the line converted to UTF-16 with the code page; the
// conversion is skipped whenever the raw bytes give the same answer (ASCII text in a code
// page that maps ASCII one to one, or any text in UTF-8 when every error keyword is ASCII).
// One scanner per thread (it owns a conversion buffer); the keyword set must not change
// while it is used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/code_page_traits.h"
#include "foundation/buffer.h"

class CKeywordSet;

class CErrorScanner {
public:
    // keywords may be null (no error keywords).
    CErrorScanner(const CKeywordSet* keywords, unsigned codePage);
    ~CErrorScanner();
    CErrorScanner(const CErrorScanner&) = delete;
    CErrorScanner& operator=(const CErrorScanner&) = delete;

    // Learns the code page and indexes the error keywords by first byte; 1, or 0 when memory ran out.
    int Prepare();
    // False when no line can be listed (no error keyword at all).
    bool Active() const { return m_active; }
    // 1 when the line holds an error keyword, else 0.
    int HasError(const char* bytes, uint32_t length);

private:
    struct Candidate {
        const char16_t* text;
        int32_t length;
    };
    uint32_t GroupByFirstByte();
    void BuildPairFilter(const uint8_t* flags, uint32_t count);
    int TryAt(const unsigned char* bytes, uint32_t length, uint32_t at) const;
    // The byte-level test; *stop receives the position of the first byte of 0x80 or more
    // when stopAtHighByte is set (length when there is none).
    int ScanBytes(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* stop) const;
    // The filtered part of ScanBytes, 16 or 32 bytes a step: 1 on a match; otherwise 0 with
    // *next the first position left for the byte loop (length after a high byte at *stop).
    int ScanVector16(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* next,
                     uint32_t* stop) const;
    int ScanVector32(const unsigned char* bytes, uint32_t length, bool stopAtHighByte, uint32_t* next,
                     uint32_t* stop) const;
    int Convert(const char* bytes, uint32_t length);

    const CKeywordSet* m_keywords;
    unsigned m_codePage;
    CCodePageTraits m_traits;
    bool m_active = false;
    bool m_anyLineOnBytes = false;  // UTF-8 and ASCII keywords only: bytes answer for every line
    uint8_t m_class[256] = {};      // 1: an ASCII unit with the error bit; 2: a byte of 0x80 or more
    uint32_t m_first[128] = {};     // candidates for each first byte: m_candidates[m_first[b]..+m_count[b])
    uint32_t m_count[128] = {};
    Candidate* m_candidates = nullptr;
    // A coarse filter for 16 bytes at a time: the first two bytes of each candidate (the
    // second is 0 with single-unit keywords, which match on the first alone).
    static constexpr int kMaxFilterPairs = 16;
    int m_pairCount = -1;  // -1: too many distinct pairs, scan byte by byte
    bool m_avx2 = false;   // the processor runs the 32-byte filter
    uint8_t m_pairFirst[kMaxFilterPairs] = {};
    uint8_t m_pairSecond[kMaxFilterPairs] = {};
    // The same bytes repeated 16 times each, ready for vector compares.
    alignas(16) uint8_t m_wideFirst[kMaxFilterPairs][16] = {};
    alignas(16) uint8_t m_wideSecond[kMaxFilterPairs][16] = {};
    CGrowBuffer<char16_t> m_wide;
};
