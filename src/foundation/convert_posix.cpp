// POSIX conversions: code page 0 and 65001 through the own UTF-8 codec, the rest through iconv.
#include <errno.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>

#include "foundation/convert.h"
#include "foundation/utf8.h"

namespace {

// One cached descriptor per direction and thread; iconv_open is too slow to call per line.
struct IconvCache {
    unsigned codePage = 0;
    bool toWide = false;
    iconv_t handle = reinterpret_cast<iconv_t>(-1);
    ~IconvCache() {
        if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
    }
};

iconv_t OpenIconv(unsigned codePage, bool toWide) {
    thread_local IconvCache cache;
    if (cache.handle != reinterpret_cast<iconv_t>(-1) && cache.codePage == codePage && cache.toWide == toWide) {
        iconv(cache.handle, nullptr, nullptr, nullptr, nullptr);
        return cache.handle;
    }
    if (cache.handle != reinterpret_cast<iconv_t>(-1)) iconv_close(cache.handle);
    char name[32];
    std::snprintf(name, sizeof name, "CP%u", codePage);
    cache.handle = toWide ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
    cache.codePage = codePage;
    cache.toWide = toWide;
    return cache.handle;
}

// Runs iconv over the whole input, writing into a small chunk and handing each chunk
// to emit. Undecodable input becomes the replacement (one unit or byte) and is skipped.
template <typename Emit>
bool RunIconv(iconv_t cd, const char* in, size_t inLeft, size_t unit, const char* replacement, size_t replacementSize,
              Emit emit) {
    char chunk[4096];
    char* src = const_cast<char*>(in);
    while (true) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        size_t rc = inLeft > 0 ? iconv(cd, &src, &inLeft, &dst, &dstLeft) : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        if (!emit(chunk, static_cast<size_t>(dst - chunk))) return false;
        if (rc != static_cast<size_t>(-1)) {
            if (inLeft == 0) return true;
            continue;
        }
        if (errno == E2BIG) continue;
        if (errno == EILSEQ || errno == EINVAL) {
            if (!emit(replacement, replacementSize)) return false;
            size_t skip = inLeft < unit ? inLeft : unit;
            src += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        return false;
    }
}

bool IsUtf8(unsigned codePage) { return codePage == kCodePageAnsi || codePage == kCodePageUtf8; }

}  // namespace

int MultiByteToWide(unsigned codePage, const char* bytes, int count, char16_t* out, int capacity) {
    if (bytes == nullptr) return 0;
    if (count < 0) count = static_cast<int>(std::strlen(bytes)) + 1;
    if (count == 0) return 0;
    if (codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be) {
        return Utf16BytesToWide(codePage, bytes, count, out, capacity);
    }
    if (IsUtf8(codePage)) return Utf8ToUtf16(reinterpret_cast<const unsigned char*>(bytes), count, out, capacity);
    iconv_t cd = OpenIconv(codePage, true);
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
    static const char kReplacement[2] = {'\xFD', '\xFF'};
    long long written = 0;
    bool ok = RunIconv(cd, bytes, static_cast<size_t>(count), 1, kReplacement, 2, [&](const char* p, size_t n) {
        size_t units = n / 2;
        if (out != nullptr) {
            if (written + static_cast<long long>(units) > capacity) return false;
            std::memcpy(out + written, p, units * 2);
        }
        written += static_cast<long long>(units);
        return written <= 0x7fffffff;
    });
    return ok ? static_cast<int>(written) : 0;
}

int WideToMultiByte(unsigned codePage, const char16_t* wide, int count, char* out, int capacity) {
    if (wide == nullptr) return 0;
    if (count < 0) {
        count = 0;
        while (wide[count] != 0) ++count;
        ++count;
    }
    if (count == 0) return 0;
    if (codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be) {
        return WideToUtf16Bytes(codePage, wide, count, out, capacity);
    }
    if (IsUtf8(codePage)) return Utf16ToUtf8(wide, count, reinterpret_cast<unsigned char*>(out), capacity);
    iconv_t cd = OpenIconv(codePage, false);
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
    long long written = 0;
    bool ok = RunIconv(cd, reinterpret_cast<const char*>(wide), static_cast<size_t>(count) * 2, 2, "?", 1,
                       [&](const char* p, size_t n) {
                           if (out != nullptr) {
                               if (written + static_cast<long long>(n) > capacity) return false;
                               std::memcpy(out + written, p, n);
                           }
                           written += static_cast<long long>(n);
                           return written <= 0x7fffffff;
                       });
    return ok ? static_cast<int>(written) : 0;
}
