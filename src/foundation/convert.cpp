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
