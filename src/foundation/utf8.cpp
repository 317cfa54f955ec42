// UTF-8 codec with the replacement rules of MultiByteToWideChar / WideCharToMultiByte.
#include "foundation/utf8.h"

namespace {

// Decodes one sequence at s[0..n); returns its byte length and the code point.
int DecodeOne(const unsigned char* s, int n, unsigned* cp) {
    unsigned c = s[0];
    if (c < 0x80) {
        *cp = c;
        return 1;
    }
    int need;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
        *cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 2;
        *cp = c & 0x0F;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3;
        *cp = c & 0x07;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        *cp = 0xFFFD;
        return 1;
    }
    int i = 1;
    for (; i <= need; ++i) {
        if (i >= n || s[i] < lo || s[i] > hi) {
            *cp = 0xFFFD;  // the maximal valid prefix counts as one error
            return i;
        }
        *cp = (*cp << 6) | (s[i] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return i;
}

}  // namespace

int Utf8ToUtf16(const unsigned char* bytes, int count, char16_t* out, int capacity) {
    int written = 0;
    int i = 0;
    while (i < count) {
        unsigned c = bytes[i];
        if (c < 0x80) {
            if (out != nullptr) {
                if (written >= capacity) return 0;
                out[written] = static_cast<char16_t>(c);
            }
            ++written;
            ++i;
            continue;
        }
        unsigned cp;
        i += DecodeOne(bytes + i, count - i, &cp);
        int units = cp >= 0x10000 ? 2 : 1;
        if (out != nullptr) {
            if (written + units > capacity) return 0;
            if (units == 2) {
                cp -= 0x10000;
                out[written] = static_cast<char16_t>(0xD800 + (cp >> 10));
                out[written + 1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
            } else {
                out[written] = static_cast<char16_t>(cp);
            }
        }
        written += units;
    }
    return written;
}

int Utf16ToUtf8(const char16_t* wide, int count, unsigned char* out, int capacity) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        unsigned cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        unsigned char buf[4];
        int n;
        if (cp < 0x80) {
            buf[0] = static_cast<unsigned char>(cp);
            n = 1;
        } else if (cp < 0x800) {
            buf[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            buf[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 2;
        } else if (cp < 0x10000) {
            buf[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            buf[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            buf[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 3;
        } else {
            buf[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
            buf[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            buf[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            buf[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 4;
        }
        if (out != nullptr) {
            if (written + n > capacity) return 0;
            for (int k = 0; k < n; ++k) out[written + k] = buf[k];
        }
        written += n;
    }
    return written;
}
