// CRegex: a condition text that is a regular expression, compiled with PCRE2 for UTF-16
// (JIT-compiled when the platform allows it). Lines are matched whole, invalid UTF-16
// included; CR, LF and CR LF end a line for "$" and ".". The JIT stack of each thread grows
// to a few MiB, and a line beyond it is matched again by the interpreter. A line that
// reaches PCRE2's match, depth or heap limit counts as not matching, and is counted (LimitHits).
// Threads: Compile on one thread; then Match from any number of threads at once.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int kPatternMessageCapacity = 256;

class CRegex {
public:
    CRegex() = default;
    ~CRegex();
    CRegex(const CRegex&) = delete;
    CRegex& operator=(const CRegex&) = delete;

    // Compiles the m units of pattern; 1, or 0 with PCRE2's message (NUL-terminated, at
    // most kPatternMessageCapacity units) in message and the unit offset of the error in *offset.
    int Compile(const char16_t* pattern, int m, bool ignoreCase, char16_t* message, int* offset);
    // 1 when the pattern matches somewhere in the n units of text (anchored: at its start).
    // A text that reaches a limit is counted when count is true (the scans), not otherwise
    // (the view's highlighting, which must not add to what a scan reports).
    int Match(const char16_t* text, int n, bool anchored, bool count = true) const;
    // Texts that reached a limit (and were counted) since the expression was compiled.
    int64_t LimitHits() const { return m_limitHits.load(); }

private:
    void* m_code = nullptr;     // pcre2_code_16
    void* m_context = nullptr;  // pcre2_match_context_16 with the limits
    mutable std::atomic<int64_t> m_limitHits{0};
};

// The literal texts of a pattern that is only literal characters and top-level "|" (such as
// timeout|refused), so that it can be searched like plain texts: their count (1 to
// capacity), with each alternative's start and length in units; 0 for any other pattern.
int LiteralAlternatives(const char16_t* pattern, int m, int* starts, int* lengths, int capacity);
