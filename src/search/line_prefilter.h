// CLinePrefilter: the literals a line must hold to satisfy a search condition, and the
// search of a span of the file for them, so that a scan asks the line matcher only about
// the lines that hold one. It never changes an answer: where the literals cannot tell
// exactly (a code page other than UTF-8 on a span with bytes beyond ASCII, UTF-16, a text
// without literals) it flags every line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/log_line.h"
#include "search/multi_literal.h"
#include "search/search_condition.h"

class CLinePrefilter {
public:
    // Derives the literals of the condition for lines in the code page, matched as shown
    // with colour codes on when hideEscapes; Active() tells whether there are any.
    void Prepare(const CSearchCondition& condition, unsigned codePage, bool hideEscapes);
    bool Active() const { return m_active; }
    // Of a condition of kNot texts alone: then the literals are those of every text, and the
    // lines Mark leaves at 0 hold none of them, so they match unless empty.
    bool Inverted() const { return m_active && m_inverted; }
    // How many of the n entries (in scan order: descending offsets when backward) from the
    // first on lie in file order within limit bytes, with the span they cover [*lo, *hi).
    static int Group(const CLogLine* entries, int n, bool backward, uint64_t limit, uint64_t* lo, uint64_t* hi);
    // True when the n bytes hold nothing that could make a line in them match.
    bool HoldsNone(const char* bytes, size_t n) const;
    // Sets flags[i] to 1 for each of the n entries (a Group) that may satisfy the condition
    // and to 0 for the others; bytes are those of the file from start and cover the entries.
    void Mark(const CLogLine* entries, int n, bool backward, const char* bytes, uint64_t start, uint8_t* flags) const;

private:
    int AddText(const CSearchCondition& condition, int i);
    int AddLiteral(const char16_t* units, int length, bool folded);
    bool MayHoldBeyondAscii(const char* bytes, size_t n) const;

    CMultiLiteral m_literals;
    CMultiLiteral m_beyondAscii;  // U+017F and U+212A when a literal ignoring case holds s or k
    bool m_active = false;
    bool m_inverted = false;
    bool m_utf8 = false;
    bool m_hideEscapes = false;
    bool m_foldedKs = false;  // a literal ignoring case holds s or k
};
