// Conversions between UTF-16 and multibyte text in a named code page.
// Code page 0 is the ANSI code page on Windows and UTF-8 on POSIX; 65001 is UTF-8,
// 932 Shift_JIS, 1200 / 1201 UTF-16 little / big endian (read here on every platform:
// Windows converts them only in managed code). Invalid input decodes to U+FFFD. The *Alloc results are zero-filled,
// NUL-terminated buffers that belong to the caller (free with std::free).
// Windows: MultiByteToWideChar / WideCharToMultiByte. POSIX: own UTF-8 codec, iconv otherwise.
#pragma once

constexpr unsigned kCodePageAnsi = 0;
constexpr unsigned kCodePageShiftJis = 932;
constexpr unsigned kCodePageUtf8 = 65001;
constexpr unsigned kCodePageUtf16Le = 1200;
constexpr unsigned kCodePageUtf16Be = 1201;

// Converts count bytes (-1: up to and including the NUL). With out null, returns the
// number of UTF-16 units needed; otherwise writes at most capacity units and returns
// how many were written (0 on failure or when they do not fit).
int MultiByteToWide(unsigned codePage, const char* bytes, int count, char16_t* out, int capacity);
// Converts count units (-1: up to and including the terminator); the same return rules in bytes.
int WideToMultiByte(unsigned codePage, const char16_t* wide, int count, char* out, int capacity);

char16_t* MultiByteToWideAlloc(const char* bytes, int count, unsigned codePage);
char* WideToMultiByteAlloc(const char16_t* wide, int count, unsigned codePage);

// The UTF-16 code pages, called by the platform conversions above: the same contract.
// A lone byte at the end decodes to U+FFFD; unpaired surrogates pass through as units.
int Utf16BytesToWide(unsigned codePage, const char* bytes, int count, char16_t* out, int capacity);
int WideToUtf16Bytes(unsigned codePage, const char16_t* wide, int count, char* out, int capacity);

// True when the n units of text are all ASCII (below 0x80).
inline bool IsAsciiText(const char16_t* text, int n) {
    for (int i = 0; i < n; ++i) {
        if (text[i] >= 0x80) return false;
    }
    return true;
}
