// Encoding detection. UTF-8 is recognised by structure alone: text in a legacy code page
// almost never forms valid multi-byte sequences, while pure ASCII reads the same either
// way and so stays with ANSI.
#include "document/encoding.h"

#include <cstdlib>
#include <cstring>

#include "document/file.h"

unsigned Utf16ByteOrder(const unsigned char* head, size_t n) {
    if (n >= 2 && head[0] == 0xFF && head[1] == 0xFE) return kCodePageUtf16Le;
    if (n >= 2 && head[0] == 0xFE && head[1] == 0xFF) return kCodePageUtf16Be;
    return 0;
}

uint32_t ByteOrderMarkLength(const unsigned char* head, size_t n, unsigned codePage) {
    if (codePage == kCodePageUtf8) return n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    if (IsUtf16CodePage(codePage)) return Utf16ByteOrder(head, n) == codePage ? 2 : 0;
    return 0;
}

bool LooksLikeUtf8(const unsigned char* b, size_t n, bool complete) {
    bool multiByte = false;
    size_t i = 0;
    while (i < n) {
        // Skip ASCII eight bytes at a time.
        if (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, b + i, 8);
            if ((w & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;   // overlong
            if (c == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            // Cut by the end of what was read (or of a file whose last character is still
            // being written): valid so far. At the end of a whole file it makes the text
            // UTF-8 only with a continuation byte or an earlier sequence, so that one
            // Latin-1 letter at the very end is no proof.
            if (i + k >= n) return !complete || multiByte || k >= 2;
            unsigned char t = b[i + k];
            if (k == 1 ? (t < low || t > high) : (t < 0x80 || t > 0xBF)) return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

unsigned DetectCodePage(const unsigned char* head, size_t n, bool complete) {
    unsigned utf16 = Utf16ByteOrder(head, n);
    if (utf16 != 0) return utf16;
    if (ByteOrderMarkLength(head, n, kCodePageUtf8) != 0) return kCodePageUtf8;
    return LooksLikeUtf8(head, n, complete) ? kCodePageUtf8 : kCodePageAnsi;
}

unsigned DetectFileCodePage(CFile* file) {
    uint64_t size = file != nullptr ? file->Size() : 0;
    size_t want = size < kDetectBytes ? static_cast<size_t>(size) : kDetectBytes;
    auto* head = want > 0 ? static_cast<unsigned char*>(std::malloc(want)) : nullptr;
    uint32_t got = head != nullptr ? file->Read(head, static_cast<uint32_t>(want), 0) : 0;
    unsigned codePage = DetectCodePage(head, got, got == size);
    std::free(head);
    return codePage;
}

bool ShouldDetectAgain(uint64_t detectedSize, uint64_t size) { return detectedSize == 0 && size > 0; }

bool IsEncodingChoice(int32_t choice) {
    return choice == kEncodingAuto || choice == static_cast<int32_t>(kCodePageAnsi) ||
           choice == static_cast<int32_t>(kCodePageUtf8);
}

unsigned ChooseCodePage(int32_t choice, unsigned detected) {
    if (IsUtf16CodePage(detected) || choice == kEncodingAuto) return detected;
    return static_cast<unsigned>(choice);
}

size_t TextByteLength(const char* bytes, size_t n, unsigned codePage) {
    if (!IsUtf16CodePage(codePage)) return strnlen(bytes, n);
    size_t i = 0;
    while (i + 1 < n && (bytes[i] != 0 || bytes[i + 1] != 0)) i += 2;
    return i + 1 < n ? i : n;
}
