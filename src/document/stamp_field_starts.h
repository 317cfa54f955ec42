// CFieldStarts: the places among a line's first kStampSearchBytes bytes where the stamp
// search reads - the first non-blank byte and each byte after a blank, a tab, "[" or "|" -
// that hold a digit (or an ASCII letter, while letters count), in increasing order. The
// bytes are classified sixty-four at a time as the walk reaches them, sixteen at once with
// SSE2 where the compiler has it and byte by byte elsewhere; both give the same places.
#pragma once

#include <cstdint>

class CFieldStarts {
public:
    // Reads bytes[0..length) while the walk lasts; nothing is kept beyond it. letters: the
    // places that hold a letter count too (until SkipLetters).
    CFieldStarts(const char* bytes, int length, bool letters);
    // The next place, or -1 after the last.
    int Next() {
        while (m_places == 0) {
            if (m_next >= m_limit) return -1;
            ClassifyNext();
        }
        int at = m_base + __builtin_ctzll(m_places);
        m_places &= m_places - 1;
        return at;
    }
    // The digits from the place at on, counted up to max; at is the place Next returned last.
    int DigitRun(int at, int max) const;
    // From the bytes not yet classified on, only the places that hold a digit; those that
    // hold a letter may still come from the bytes classified already.
    void SkipLetters() { m_letters = false; }

private:
    void ClassifyNext();

    const char* m_p;
    int m_length;
    int m_limit;
    int m_next = 0;         // where the bytes still to classify begin
    int m_base = 0;         // where the classified bytes begin
    uint64_t m_places = 0;  // the places among them not yet returned, bit k for byte m_base + k
    uint64_t m_digits = 0;  // the digits among them
    uint64_t m_carry = 1;   // 1: the next byte to classify is a place (the first non-blank one is)
    bool m_letters;
};
