// CStampText: a cursor over a line's raw bytes with the small readers that the built-in
// stamp forms and the user's patterns share (digits, names, fractions, zones), and
// CStampFields, the pieces of a stamp before they become a CTimeStamp.
#pragma once

#include <cstdint>

#include "stamps/time_stamp.h"

constexpr int kNoZone = 1 << 30;

struct CStampFields {
    int year = 0;  // 0: the form gives no year; two digits were read as 20yy by the form
    int month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    int zone = kNoZone;  // minutes east of UTC, when the stamp names its zone

    // 1 and the stamp when every field is in range (the day is not compared with the month,
    // as the line-start recogniser does not), else 0. A stamp with a zone is given in UTC.
    int ToStamp(CTimeStamp* stamp) const;
};

// The stamp, written at minutesEast of UTC, in UTC; the date moves with the time (a stamp
// without a year is taken in a year that has its day). Left as it is where the result would
// leave the years a stamp can hold.
void ApplyZone(CTimeStamp* stamp, int minutesEast);

// Whether a name form may start at p (n bytes on): the first three letters of an English
// month or weekday name in either case, or a glog level (I, W, E, F) before a digit. The
// readers of those forms read nothing where this is false. Most places asked about hold no
// letter at all, which is told here; the names are looked up out of line.
bool MayStartNameFormAtLetter(const char* p, int n);
inline bool MayStartNameForm(const char* p, int n) {
    return n >= 1 && static_cast<unsigned>((p[0] | 0x20) - 'a') < 26 && MayStartNameFormAtLetter(p, n);
}

// Whether a zone's name (as CStampText::ZoneName reads them) may start with c: the initials
// of those names, as a mask, since most words that follow a stamp are no zone.
inline bool ZoneNameMayStart(char c) {
    constexpr uint32_t kInitials = 1u << ('A' - 'A') | 1u << ('B' - 'A') | 1u << ('C' - 'A') | 1u << ('E' - 'A') |
                                   1u << ('G' - 'A') | 1u << ('H' - 'A') | 1u << ('J' - 'A') | 1u << ('K' - 'A') |
                                   1u << ('M' - 'A') | 1u << ('N' - 'A') | 1u << ('P' - 'A') | 1u << ('S' - 'A') |
                                   1u << ('U' - 'A') | 1u << ('W' - 'A');
    return c >= 'A' && c <= 'Z' && ((kInitials >> (c - 'A')) & 1) != 0;
}

struct CStampText {
    const char* p;
    int n;
    int i = 0;

    bool AtEnd() const { return i >= n; }
    char Peek(int ahead = 0) const { return i + ahead < n ? p[i + ahead] : '\0'; }
    bool Take(char c) {
        if (i >= n || p[i] != c) return false;
        ++i;
        return true;
    }
    // One or more blanks or tabs.
    bool Blanks() {
        int start = i;
        while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
        return i > start;
    }
    // From min to max digits (as many as there are, up to max), read as a decimal value.
    bool Digits(int min, int max, int* value) {
        int v = 0;
        int k = 0;
        while (k < max && i + k < n && static_cast<unsigned>(p[i + k] - '0') <= 9) {
            v = v * 10 + (p[i + k] - '0');
            ++k;
        }
        if (k < min) return false;
        i += k;
        *value = v;
        return true;
    }
    // A three-letter English month or weekday name, any case; a full name is passed over
    // whole. The month is 1..12, the weekday 1..7.
    bool MonthName(int* month);
    bool WeekdayName();
    // The digits of a fraction of a second (after its separator), truncated to milliseconds.
    bool Fraction(int* ms) {
        int value = 0;
        int digits = 0;
        while (i < n && static_cast<unsigned>(p[i] - '0') <= 9) {
            if (digits < 3) value = value * 10 + (p[i] - '0');
            ++digits;
            ++i;
        }
        if (digits == 0) return false;
        for (int k = digits; k < 3; ++k) value *= 10;
        *ms = value;
        return true;
    }
    // "Z", or a sign and hours with optional minutes ("+09:00", "-0700", "+09"); *minutesEast
    // (when not null) its offset, or kNoZone for hours beyond 14 or minutes beyond 59.
    bool Zone(int* minutesEast = nullptr);
    // A zone's name: UTC, GMT and the common abbreviations of North America, Europe, Asia and
    // Australia (upper case, not going on as a word), *minutesEast its offset.
    bool ZoneName(int* minutesEast);
    // hh:mm:ss, the hour of one or two digits, then an optional fraction after "." or ","
    // and an optional zone straight after. kColonMs also takes milliseconds after a colon, as
    // the number written (":99" is 99 ms, as loggers that do not pad write them); kLoose as
    // well, and minutes and seconds of one digit.
    enum TimeStyle { kPlainTime, kColonMs, kLoose };
    bool Time(CStampFields* f, TimeStyle style = kPlainTime) {
        int least = style == kLoose ? 1 : 2;
        if (!Digits(1, 2, &f->hour) || !Take(':') || !Digits(least, 2, &f->minute) || !Take(':') ||
            !Digits(least, 2, &f->second)) {
            return false;
        }
        int beforeFraction = i;
        if (Take('.') || Take(',')) {
            if (!Fraction(&f->millisecond)) i = beforeFraction;
        } else if (style != kPlainTime && Take(':')) {
            if (!Digits(1, 3, &f->millisecond) || static_cast<unsigned>(Peek() - '0') <= 9) {
                f->millisecond = 0;
                i = beforeFraction;
            }
        }
        char c = Peek();
        if (c == 'Z' || c == '+' || c == '-') Zone(&f->zone);
        return true;
    }
    // The stamp ends here: at the end of the bytes or before a byte that is no letter or digit.
    bool Ends() const {
        if (i >= n) return true;
        unsigned c = static_cast<unsigned char>(p[i]);
        return c - '0' > 9 && (c | 0x20) - 'a' > 25;
    }
};

constexpr bool IsStampDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a number that may be a stamp (an epoch time) ends its field at bytes[at].
inline bool IsStampFieldEnd(const char* bytes, int length, int at) {
    if (at >= length) return true;
    char c = bytes[at];
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ']' || c == '|' || c == ',' || c == ';' ||
           c == '"' || c == ')' || c == '}';
}

// The bytes after which a field, and so a stamp, may start: blanks, tabs, "[", "|", and the
// marks of key=value, quoted, parenthesised, colon- and comma-separated fields.
constexpr bool IsStampFieldBoundary(char c) {
    return c == ' ' || c == '\t' || c == '[' || c == '|' || c == '=' || c == '"' || c == '(' || c == ':' || c == ',';
}
