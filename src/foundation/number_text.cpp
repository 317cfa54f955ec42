// The dialogs' number rule, shared by the extraction, jump and settings dialogs.
#include "foundation/number_text.h"

#include <cstdint>

int ParseDecimalField(const char16_t* text, int* value, bool emptyIsZero) {
    if (text == nullptr) return 0;
    const char16_t* p = text;
    while (*p == u' ' || *p == u'\t') ++p;
    if (*p == 0 && p == text) {
        if (!emptyIsZero) return 0;
        *value = 0;
        return 1;
    }
    bool negative = false;
    if (*p == u'-') {
        negative = true;
        ++p;
    }
    int64_t n = 0;
    for (; *p != 0; ++p) {
        if (*p < u'0' || *p > u'9') return 0;
        n = n * 10 + (*p - u'0');
        if (n > 0x80000000ll) return 0;
    }
    if (negative) n = -n;
    if (n > 0x7fffffffll || n < -0x80000000ll) return 0;
    *value = static_cast<int>(n);
    return 1;
}
