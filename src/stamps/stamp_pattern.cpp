// User stamp patterns: compiled into a short list of literal bytes and conversions, which
// the matcher walks with the same readers as the built-in forms.
#include "stamps/stamp_pattern.h"

#include "stamps/stamp_text.h"

namespace {

constexpr uint16_t kConversion = 0x100;
const char kConversions[] = "YmdHMSfbaz";

// The conversion's place in kConversions, or -1.
int ConversionIndex(char c) {
    for (int k = 0; kConversions[k] != 0; ++k) {
        if (kConversions[k] == c) return k;
    }
    return -1;
}

// "#N:" or "@N:" at the front. Returns the bytes it took (0: no place), or -1 when it is malformed.
int ReadPlace(const char* text, uint8_t* kind, int32_t* where) {
    if ((text[0] != '#' && text[0] != '@') || !IsStampDigit(text[1])) return 0;
    int value = 0;
    int k = 1;
    while (IsStampDigit(text[k])) {
        if (value <= kStampPatternMaxPlace) value = value * 10 + (text[k] - '0');
        ++k;
    }
    bool field = text[0] == '#';
    if (text[k] != ':' || value > kStampPatternMaxPlace || (field && value < 1)) return -1;
    *kind = field ? 1 : 2;
    *where = value;
    return k + 1;
}

bool Has(uint32_t seen, char c) { return (seen >> ConversionIndex(c)) & 1; }

StampPatternError CheckParts(uint32_t seen) {
    if (!Has(seen, 'H') || !Has(seen, 'M') || !Has(seen, 'S')) return StampPatternError::kNoTime;
    bool month = Has(seen, 'm') || Has(seen, 'b');
    if (month != Has(seen, 'd') || (Has(seen, 'Y') && !month)) return StampPatternError::kIncompleteDate;
    return StampPatternError::kNone;
}

bool MatchConversion(CStampText& t, char c, CStampFields* f) {
    switch (c) {
        case 'Y':
            return t.Digits(4, 4, &f->year);
        case 'm':
            return t.Digits(1, 2, &f->month);
        case 'd':
            return t.Digits(1, 2, &f->day);
        case 'H':
            return t.Digits(1, 2, &f->hour);
        case 'M':
            return t.Digits(2, 2, &f->minute);
        case 'S':
            return t.Digits(2, 2, &f->second);
        case 'f':
            return t.Fraction(&f->millisecond);
        case 'b':
            return t.MonthName(&f->month);
        case 'a':
            return t.WeekdayName();
        case 'z':
            return t.Zone();
    }
    return false;
}

}  // namespace

const char* StampPatternErrorText(StampPatternError error) {
    switch (error) {
        case StampPatternError::kNone:
            return "";
        case StampPatternError::kEmpty:
            return "the pattern is empty";
        case StampPatternError::kTooLong:
            return "the pattern is too long (128 bytes, 48 parts at most)";
        case StampPatternError::kBadPlace:
            return "a place is #N: (field, from 1) or @N: (byte, from 0), N up to 4096";
        case StampPatternError::kUnknownConversion:
            return "unknown conversion (use %Y %m %d %H %M %S %f %b %a %z or %%)";
        case StampPatternError::kTrailingPercent:
            return "the pattern ends with a lone %";
        case StampPatternError::kRepeated:
            return "a conversion appears twice";
        case StampPatternError::kNoTime:
            return "a stamp needs %H, %M and %S";
        case StampPatternError::kIncompleteDate:
            return "a date needs %d with %m or %b (a year alone is no date)";
    }
    return "";
}

int CStampPattern::Compile(const char* text, StampPatternError* error) {
    StampPatternError dummy;
    StampPatternError& e = error != nullptr ? *error : dummy;
    *this = CStampPattern();
    e = StampPatternError::kEmpty;
    if (text == nullptr || text[0] == 0) return 0;
    int length = 0;
    while (text[length] != 0 && length <= kStampPatternMaxText) ++length;
    e = StampPatternError::kTooLong;
    if (length > kStampPatternMaxText) return 0;
    int k = ReadPlace(text, &m_place, &m_where);
    e = StampPatternError::kBadPlace;
    if (k < 0) return 0;
    uint32_t seen = 0;
    int count = 0;
    for (; text[k] != 0; ++k) {
        uint16_t op = static_cast<unsigned char>(text[k]);
        if (text[k] == '%') {
            char c = text[++k];
            e = c == 0 ? StampPatternError::kTrailingPercent : StampPatternError::kUnknownConversion;
            if (c == 0 || (c != '%' && ConversionIndex(c) < 0)) return 0;
            e = StampPatternError::kRepeated;
            if (c != '%' && Has(seen, c)) return 0;
            if (c != '%') seen |= 1u << ConversionIndex(c);
            op = c == '%' ? static_cast<uint16_t>('%') : static_cast<uint16_t>(kConversion + c);
        }
        e = StampPatternError::kTooLong;
        if (count == kStampPatternMaxOps) return 0;
        m_ops[count++] = op;
    }
    e = CheckParts(seen);
    if (e != StampPatternError::kNone) return 0;
    m_count = count;
    return 1;
}

int CStampPattern::Start(const char* bytes, int length) const {
    if (m_place == kOffset) return m_where < length ? m_where : -1;
    int i = 0;
    for (int field = 1;; ++field) {
        while (i < length && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
        if (field == m_where) return i < length ? i : -1;
        while (i < length && bytes[i] != ' ' && bytes[i] != '\t') ++i;
        if (i >= length) return -1;
    }
}

int CStampPattern::Match(const char* bytes, int length, CTimeStamp* stamp) const {
    *stamp = CTimeStamp();
    if (m_count == 0 || bytes == nullptr || length <= 0) return 0;
    int start = Start(bytes, length);
    if (start < 0) return 0;
    CStampText t{bytes, length, start};
    CStampFields f;
    f.month = 1;
    f.day = 1;
    for (int k = 0; k < m_count; ++k) {
        uint16_t op = m_ops[k];
        bool ok = op >= kConversion ? MatchConversion(t, static_cast<char>(op - kConversion), &f)
                  : op == ' '       ? t.Blanks()
                                    : t.Take(static_cast<char>(op));
        if (!ok) return 0;
    }
    CTimeStamp result;
    if (!f.ToStamp(&result)) return 0;
    *stamp = result;
    return 1;
}
