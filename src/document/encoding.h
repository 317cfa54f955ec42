// How a log's bytes are decoded: the encoding choice of the toolbar's box (Auto, ANSI or
// UTF-8), the detection behind Auto, byte-order marks, and the UTF-16 code pages that the
// conversions of foundation/convert.h read without the system's help.
// Code pages are the Windows numbers: 0 ANSI, 65001 UTF-8, 1200 UTF-16LE, 1201 UTF-16BE.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/convert.h"

class CFile;

// The box's choice that picks the code page per file; stored as -1.
constexpr int32_t kEncodingAuto = -1;
// True for a choice the box offers (Auto, ANSI or UTF-8, which every system has): what a
// settings or state file may put in force; anything else in one is damage.
bool IsEncodingChoice(int32_t choice);
// Auto looks at this much of a file's start.
constexpr size_t kDetectBytes = 1u << 20;

inline bool IsUtf16CodePage(unsigned codePage) { return codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be; }
// Bytes a character unit takes at least: 2 in UTF-16, else 1.
inline int UnitBytes(unsigned codePage) { return IsUtf16CodePage(codePage) ? 2 : 1; }

// The UTF-16 code page that a byte-order mark at the start announces, else 0.
unsigned Utf16ByteOrder(const unsigned char* head, size_t n);
// The bytes a byte-order mark of the code page takes at the start of head: 3 for UTF-8's,
// 2 for UTF-16's in the code page's byte order, else 0.
uint32_t ByteOrderMarkLength(const unsigned char* head, size_t n, unsigned codePage);
// True when the n bytes are UTF-8 with at least one multi-byte sequence and none that is
// invalid (overlong, a surrogate, above U+10FFFF). A sequence cut by the end of the bytes
// counts as valid (a growing file's last character may still be being written). complete:
// the bytes are the whole file, where such a cut sequence that is only a lead byte does
// not count as a multi-byte sequence.
bool LooksLikeUtf8(const unsigned char* bytes, size_t n, bool complete);
// What Auto finds in a file's first n bytes (complete: they are the whole file): the UTF-16
// code page of a byte-order mark; UTF-8 for its mark or for text that looks like UTF-8;
// else ANSI (0).
unsigned DetectCodePage(const unsigned char* head, size_t n, bool complete);
// The same for an open file, from its first kDetectBytes bytes (ANSI when they cannot be read).
unsigned DetectFileCodePage(CFile* file);
// True when Auto should look at a file again: it looked when the file held detectedSize
// bytes, none (a log just created, or truncated and read again), and it now holds size bytes.
// The file's index is then still empty, so it is read again with the new answer from its start.
bool ShouldDetectAgain(uint64_t detectedSize, uint64_t size);
// The code page to read a file with, from the box's choice and what DetectCodePage found:
// UTF-16 whatever the choice (its lines break differently); else the detected code page
// for Auto and the chosen one otherwise.
unsigned ChooseCodePage(int32_t choice, unsigned detected);

// The bytes of a row that are text: up to the first NUL character (a NUL byte, or a NUL
// unit at an even offset in UTF-16), as a C string would end.
size_t TextByteLength(const char* bytes, size_t n, unsigned codePage);
