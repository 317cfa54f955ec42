// The dialogs' number rule, shared by the extraction, jump and settings dialogs.
#include "foundation/number_text.h"

namespace {

// Reads the field into *value when it lies within [-limit - 1, limit]; 1 or 0.
int ParseWithin(const char16_t* text, int64_t limit, bool emptyIsZero, int64_t* value) {
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
    // The magnitude in unsigned arithmetic: the most negative value has no positive twin.
    uint64_t bound = static_cast<uint64_t>(limit) + (negative ? 1 : 0);
    uint64_t n = 0;
    for (; *p != 0; ++p) {
        if (*p < u'0' || *p > u'9') return 0;
        auto digit = static_cast<uint64_t>(*p - u'0');
        if (n > (bound - digit) / 10) return 0;
        n = n * 10 + digit;
    }
    *value = negative ? static_cast<int64_t>(0 - n) : static_cast<int64_t>(n);
    return 1;
}

}  // namespace

int ParseDecimalField(const char16_t* text, int* value, bool emptyIsZero) {
    int64_t n = 0;
    if (!ParseWithin(text, INT32_MAX, emptyIsZero, &n)) return 0;
    *value = static_cast<int>(n);
    return 1;
}

int ParseDecimalField64(const char16_t* text, int64_t* value, bool emptyIsZero) {
    return ParseWithin(text, INT64_MAX, emptyIsZero, value);
}
