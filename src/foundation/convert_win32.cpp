// Windows conversions: exactly MultiByteToWideChar / WideCharToMultiByte with flags 0;
// UTF-16 bytes, which those do not take, are read by the portable codec.
#include <windows.h>

#include "foundation/convert.h"
#include "foundation/wide.h"

int MultiByteToWide(unsigned codePage, const char* bytes, int count, char16_t* out, int capacity) {
    if (bytes == nullptr || count == 0) return 0;
    if (codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be) {
        return Utf16BytesToWide(codePage, bytes, count, out, capacity);
    }
    return MultiByteToWideChar(codePage, 0, bytes, count, out != nullptr ? W(out) : nullptr,
                               out != nullptr ? capacity : 0);
}

int WideToMultiByte(unsigned codePage, const char16_t* wide, int count, char* out, int capacity) {
    if (wide == nullptr || count == 0) return 0;
    if (codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be) {
        return WideToUtf16Bytes(codePage, wide, count, out, capacity);
    }
    return WideCharToMultiByte(codePage, 0, W(wide), count, out, out != nullptr ? capacity : 0, nullptr, nullptr);
}
