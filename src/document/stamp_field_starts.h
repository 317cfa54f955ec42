// CFieldStarts: the places among a line's first kStampSearchBytes bytes where the stamp
// search reads - the first non-blank byte and each byte after a blank, a tab, "[" or "|" -
// that hold a digit or an ASCII letter, in increasing order. The bytes are classified
// sixteen at a time as the walk reaches them (with SSE2 where the compiler has it, byte by
// byte elsewhere; both give the same places).
#pragma once

#include <cstdint>

class CFieldStarts {
public:
    // Reads bytes[0..length) while the walk lasts; nothing is copied.
    CFieldStarts(const char* bytes, int length);
    // The next place, or -1 after the last.
    int Next();
    // From now on only the places that hold a digit.
    void SkipLetters() {
        m_letters = false;
        m_places &= m_digits;
    }

private:
    void ClassifyNext();

    const char* m_p;
    int m_limit;
    int m_next = 0;         // where the next sixteen bytes to classify begin
    int m_base = 0;         // where the classified bytes begin
    uint32_t m_places = 0;  // the places among them not yet returned, bit k for byte m_base + k
    uint32_t m_digits = 0;  // the digits among them
    uint32_t m_carry = 1;   // 1: the next byte to classify is a place (the first non-blank one is)
    bool m_letters = true;  // places that hold a letter count
};
