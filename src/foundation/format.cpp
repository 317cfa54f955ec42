// The formatter behind FormatString, FormatString64 and the trace lines.
#include "foundation/format.h"

#include <cstddef>
#include <cstdint>

namespace {

class Writer {
public:
    Writer(char16_t* dest, int capacity) : m_dest(dest), m_capacity(capacity) {}
    void Put(char16_t c) {
        if (m_count + 1 < m_capacity) {
            m_dest[m_count] = c;
        } else {
            m_overflow = true;
        }
        ++m_count;
    }
    void Repeat(char16_t c, int n) {
        for (int i = 0; i < n; ++i) Put(c);
    }
    int Finish() {
        if (m_capacity <= 0) return -1;
        int end = m_count < m_capacity ? m_count : m_capacity - 1;
        m_dest[end] = 0;
        return m_overflow ? -1 : m_count;
    }

private:
    char16_t* m_dest;
    int m_capacity;
    int m_count = 0;
    bool m_overflow = false;
};

struct Conversion {
    bool left = false, zero = false, plus = false, space = false;
    int width = 0;
    int precision = -1;
    int size = 0;  // 0 int, 1 long, 2 long long / 64-bit, 3 size_t, -1 short
};

// Writes digits of value (already without sign) with padding, sign and precision.
void PutNumber(Writer& w, const Conversion& conv, uint64_t value, unsigned base, bool upper, char sign) {
    char16_t digits[32];
    int n = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[n++] = static_cast<char16_t>(set[value % base]);
        value /= base;
    } while (value != 0);
    if (conv.precision == 0 && n == 1 && digits[0] == u'0') n = 0;
    int zeros = conv.precision > n ? conv.precision - n : 0;
    int body = n + zeros + (sign ? 1 : 0);
    int pad = conv.width > body ? conv.width - body : 0;
    bool zeroPad = conv.zero && !conv.left && conv.precision < 0;
    if (!conv.left && !zeroPad) w.Repeat(u' ', pad);
    if (sign) w.Put(static_cast<char16_t>(sign));
    if (zeroPad) w.Repeat(u'0', pad);
    w.Repeat(u'0', zeros);
    while (n > 0) w.Put(digits[--n]);
    if (conv.left) w.Repeat(u' ', pad);
}

void PutText(Writer& w, const Conversion& conv, const char16_t* text) {
    if (text == nullptr) text = u"(null)";
    int n = 0;
    while (text[n] != 0 && (conv.precision < 0 || n < conv.precision)) ++n;
    int pad = conv.width > n ? conv.width - n : 0;
    if (!conv.left) w.Repeat(u' ', pad);
    for (int i = 0; i < n; ++i) w.Put(text[i]);
    if (conv.left) w.Repeat(u' ', pad);
}

int ReadNumber(const char16_t*& p) {
    int value = 0;
    while (*p >= u'0' && *p <= u'9') {
        if (value < 100000) value = value * 10 + (*p - u'0');
        ++p;
    }
    return value;
}

int64_t SignedArg(va_list& args, int size) {
    switch (size) {
        case 1:
            return va_arg(args, long);
        case 2:
            return va_arg(args, long long);
        case 3:
            return static_cast<int64_t>(va_arg(args, intptr_t));
        case -1:
            return static_cast<short>(va_arg(args, int));
        default:
            return va_arg(args, int);
    }
}

uint64_t UnsignedArg(va_list& args, int size) {
    switch (size) {
        case 1:
            return va_arg(args, unsigned long);
        case 2:
            return va_arg(args, unsigned long long);
        case 3:
            return va_arg(args, size_t);
        case -1:
            return static_cast<unsigned short>(va_arg(args, unsigned));
        default:
            return va_arg(args, unsigned);
    }
}

// Reads the flags, width, precision and size of a conversion up to its type character,
// taking the widths given as '*' from the arguments.
void ReadSpec(const char16_t*& p, va_list& args, Conversion* out) {
    Conversion& conv = *out;
    for (;; ++p) {
        if (*p == u'-')
            conv.left = true;
        else if (*p == u'0')
            conv.zero = true;
        else if (*p == u'+')
            conv.plus = true;
        else if (*p == u' ')
            conv.space = true;
        else
            break;
    }
    if (*p == u'*') {
        conv.width = va_arg(args, int);
        if (conv.width < 0) {
            conv.left = true;
            conv.width = conv.width == INT32_MIN ? 0 : -conv.width;
        }
        ++p;
    } else {
        conv.width = ReadNumber(p);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            conv.precision = va_arg(args, int);
            ++p;
        } else {
            conv.precision = ReadNumber(p);
        }
    }
    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        conv.size = 2;
        p += 3;
    } else if (p[0] == u'l' && p[1] == u'l') {
        conv.size = 2;
        p += 2;
    } else if (*p == u'l') {
        conv.size = 1;
        ++p;
    } else if (*p == u'z') {
        conv.size = 3;
        ++p;
    } else if (*p == u'h') {
        conv.size = -1;
        ++p;
    }
}

// Parses one conversion after '%' and writes it. Returns false for a bad format.
bool Convert(Writer& w, const char16_t*& p, va_list& args) {
    Conversion conv;
    ReadSpec(p, args, &conv);
    char16_t c = *p;
    if (c == 0) return false;
    ++p;
    switch (c) {
        case u'd':
        case u'i': {
            int64_t v = SignedArg(args, conv.size);
            uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            char sign = v < 0 ? '-' : conv.plus ? '+' : conv.space ? ' ' : '\0';
            PutNumber(w, conv, magnitude, 10, false, sign);
            return true;
        }
        case u'u':
            PutNumber(w, conv, UnsignedArg(args, conv.size), 10, false, 0);
            return true;
        case u'x':
            PutNumber(w, conv, UnsignedArg(args, conv.size), 16, false, 0);
            return true;
        case u'X':
            PutNumber(w, conv, UnsignedArg(args, conv.size), 16, true, 0);
            return true;
        case u'o':
            PutNumber(w, conv, UnsignedArg(args, conv.size), 8, false, 0);
            return true;
        case u'p':
            conv.precision = 16;
            PutNumber(w, conv, reinterpret_cast<uintptr_t>(va_arg(args, void*)), 16, true, 0);
            return true;
        case u'c': {
            char16_t text[2] = {static_cast<char16_t>(va_arg(args, int)), 0};
            conv.precision = -1;
            PutText(w, conv, text);
            return true;
        }
        case u's':
            PutText(w, conv, va_arg(args, const char16_t*));
            return true;
        case u'%':
            w.Put(u'%');
            return true;
        default:
            return false;
    }
}

}  // namespace

int FormatStringV(char16_t* dest, int capacity, const char16_t* format, va_list args) {
    if (dest == nullptr || capacity <= 0) return -1;
    if (format == nullptr) {
        dest[0] = 0;
        return -1;
    }
    Writer w(dest, capacity);
    va_list ap;
    va_copy(ap, args);
    bool ok = true;
    for (const char16_t* p = format; *p != 0 && ok;) {
        if (*p != u'%') {
            w.Put(*p++);
            continue;
        }
        ++p;
        ok = Convert(w, p, ap);
    }
    va_end(ap);
    int count = w.Finish();
    return ok ? count : -1;
}

int FormatString(char16_t* dest, int capacity, const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = FormatStringV(dest, capacity, format, args);
    va_end(args);
    return n;
}

int FormatString64(char16_t* dest, const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = FormatStringV(dest, 64, format, args);
    va_end(args);
    return n;
}
