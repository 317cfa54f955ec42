// The tokens that highlighting works on: a row's UTF-16 text split by a small state
// machine (numbers, hex numbers, words, punctuation runs, runs of non-ASCII units), and
// the conversion between display cells and text columns. Portable, allocation-free.
#pragma once

// Cells a unit occupies on screen: 2 above U+00FF, else 1.
inline int CellWidth(char16_t unit) { return unit > 0xFF ? 2 : 1; }

// Display width in cells of the first count units of text.
int DisplayWidth(const char16_t* text, int count);

// The text column at a display offset (in cells from the row start): units are counted
// while the width of those counted so far is below offset and units remain. 0..count.
int DisplayOffsetToColumn(const char16_t* text, int count, int offset);

// Length of the token that begins at unit start; 0 when start is outside 0..count-1.
int TokenLength(const char16_t* text, int count, int start);

// The token containing the unit at a display offset. Returns 1 with its start and length,
// or 0 with both 0 when no unit lies there (empty text, offset past the end).
int FindTokenAt(const char16_t* text, int count, int offset, int* start, int* length);
