// Unicode's simple case folding of UTF-16 text (CaseFolding.txt, statuses C and S), from
// tables that tools/gen_case_fold.py generates into case_fold_table.cpp. Folding maps one
// code point to one, in the same plane and the same block of 1024, so folded text has the
// units of the original at the same places and a high surrogate never changes.
#pragma once

#include <cstdint>

// The folding of a BMP unit (surrogates stay).
char16_t FoldUnit(char16_t unit);
// The folding of a code point beyond the BMP.
uint32_t FoldSupplementary(uint32_t codePoint);
// True for the ASCII units that a character beyond ASCII folds to (the long s, the Kelvin
// sign): matching them ignoring case needs more than the ASCII bytes of a line.
bool IsFoldedFromBeyondAscii(char16_t unit);

// The folded unit at i of text: a low surrogate after a high one folds with its pair.
inline char16_t FoldAt(const char16_t* text, int i) {
    char16_t u = text[i];
    if (u >= 0xDC00 && u <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF) {
        uint32_t codePoint = 0x10000 + ((static_cast<uint32_t>(text[i - 1]) - 0xD800) << 10) + (u - 0xDC00);
        return static_cast<char16_t>(0xDC00 + (FoldSupplementary(codePoint) & 0x3FF));
    }
    return FoldUnit(u);
}

// Writes the n folded units of text to out (which may be text itself only when n is 0).
void FoldText(const char16_t* text, int n, char16_t* out);
// Index of the first position where the m units of folded (a folded text) match the n
// units of text folded, or -1.
int FindUnitsFolded(const char16_t* text, int n, const char16_t* folded, int m);
