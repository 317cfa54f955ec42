// CLineMatcher: CSearchCondition::Matches applied to a line's raw bytes. The answer is
// always that of the condition on the line decoded with the code page (and, when escapes
// are hidden, without its escape sequences); the decoding is skipped when the bytes give
// the same answer (see CCodePageTraits). One per scan: it owns a conversion buffer. The
// condition must not change while the matcher is used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/code_page_traits.h"
#include "foundation/buffer.h"
#include "search/search_condition.h"

class CLineMatcher {
public:
    // hideEscapes: lines are matched as the view shows them with colour codes on.
    CLineMatcher(const CSearchCondition& condition, unsigned codePage, bool hideEscapes = false);
    ~CLineMatcher();
    CLineMatcher(const CLineMatcher&) = delete;
    CLineMatcher& operator=(const CLineMatcher&) = delete;

    // Prepares the byte forms of the texts; 1, or 0 when memory ran out.
    int Prepare();
    // 1 when the line satisfies the condition, else 0. noEscapeByte: the caller knows that
    // the bytes hold no 0x1B (CLineWindow::NoEscapeByte), so they need no look for one.
    int Matches(const char* bytes, uint32_t length, bool noEscapeByte = false);
    bool HidesEscapes() const { return m_hideEscapes; }
    const CSearchCondition& Condition() const { return m_condition; }
    unsigned CodePage() const { return m_codePage; }

private:
    // A condition text as the raw line shows it: its byte forms, when they can be known (a
    // regular expression has them only when it is a few literal alternatives).
    static constexpr int kMaxAlternatives = 8;
    struct Pattern {
        char* bytes[kMaxAlternatives] = {};
        uint32_t length[kMaxAlternatives] = {};
        bool ascii[kMaxAlternatives] = {};  // every unit (folded, ignoring case) below 0x80
        int count = 0;                      // alternatives; any one of them occurring is a match
        bool folded = false;                // ASCII letters match in either case
        bool exactInUtf8 = false;           // the byte search answers for any UTF-8 line
    };
    int PreparePattern(int i, Pattern* p, bool* exactInUtf8);
    bool FoundInBytes(int i, const char* bytes, uint32_t length, bool asciiLine) const;
    int MatchBytes(const char* bytes, uint32_t length, bool asciiLine) const;
    int MatchConverted(const char* bytes, uint32_t length, bool hide);

    const CSearchCondition& m_condition;
    unsigned m_codePage;
    bool m_hideEscapes;
    bool m_escapeIsItsByte = false;  // U+001B only ever comes from a byte 0x1B
    CCodePageTraits m_traits;
    Pattern m_patterns[kMaxConditionTexts];
    int m_count = 0;
    bool m_bytesAlways = false;     // every line can be tested on its bytes
    bool m_bytesWhenAscii = false;  // lines of ASCII bytes can be tested on their bytes
    CGrowBuffer<char16_t> m_wide;   // a line decoded
};

// Index of the first occurrence of the m bytes of needle in the n bytes of text, or -1.
int64_t FindBytes(const char* text, size_t n, const char* needle, size_t m);
// The same ignoring the case of ASCII letters; needle is in lower case.
int64_t FindBytesFolded(const char* text, size_t n, const char* needle, size_t m);
