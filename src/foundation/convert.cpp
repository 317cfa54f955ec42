// The allocating conversions: one query for the size, one exact allocation, one conversion.
#include "foundation/convert.h"

#include <cstdlib>
#include <cstring>

char16_t* MultiByteToWideAlloc(const char* bytes, int count, unsigned codePage) {
    if (bytes == nullptr) return nullptr;
    if (count < 0) count = static_cast<int>(std::strlen(bytes)) + 1;
    int n = MultiByteToWide(codePage, bytes, count, nullptr, 0);
    if (n <= 0) n = count;
    auto* out = static_cast<char16_t*>(std::calloc(static_cast<size_t>(n) + 1, sizeof(char16_t)));
    if (out == nullptr) return nullptr;
    MultiByteToWide(codePage, bytes, count, out, n + 1);
    return out;
}

char* WideToMultiByteAlloc(const char16_t* wide, int count, unsigned codePage) {
    if (wide == nullptr) return nullptr;
    if (count < 0) {
        count = 0;
        while (wide[count] != 0) ++count;
        ++count;
    }
    int n = WideToMultiByte(codePage, wide, count, nullptr, 0);
    if (n < 0) n = 0;
    auto* out = static_cast<char*>(std::calloc(static_cast<size_t>(n) + 1, 1));
    if (out == nullptr) return nullptr;
    if (n > 0) WideToMultiByte(codePage, wide, count, out, n + 1);
    return out;
}

int Utf16BytesToWide(unsigned codePage, const char* bytes, int count, char16_t* out, int capacity) {
    if (bytes == nullptr || count == 0) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    bool big = codePage == kCodePageUtf16Be;
    if (count < 0) {
        count = 0;
        while (b[count] != 0 || b[count + 1] != 0) count += 2;
        count += 2;
    }
    int units = count / 2 + count % 2;
    if (out == nullptr) return units;
    if (units > capacity) return 0;
    for (int i = 0; i + 1 < count; i += 2) {
        out[i / 2] = static_cast<char16_t>(big ? (b[i] << 8 | b[i + 1]) : (b[i] | b[i + 1] << 8));
    }
    if (count % 2 != 0) out[units - 1] = 0xFFFD;
    return units;
}

int WideToUtf16Bytes(unsigned codePage, const char16_t* wide, int count, char* out, int capacity) {
    if (wide == nullptr || count == 0) return 0;
    if (count < 0) {
        count = 0;
        while (wide[count] != 0) ++count;
        ++count;
    }
    if (count > 0x3fffffff) return 0;
    int bytes = count * 2;
    if (out == nullptr) return bytes;
    if (bytes > capacity) return 0;
    bool big = codePage == kCodePageUtf16Be;
    for (int i = 0; i < count; ++i) {
        out[2 * i + (big ? 1 : 0)] = static_cast<char>(wide[i] & 0xFF);
        out[2 * i + (big ? 0 : 1)] = static_cast<char>(wide[i] >> 8);
    }
    return bytes;
}
