// Time-stamp recognition over raw line bytes, and the interval arithmetic between rows.
#include "stamps/time_stamp.h"

#include "foundation/format.h"
#include "stamps/stamp_field_starts.h"

namespace {

struct Cursor {
    const char* p;
    int n;
    int i = 0;
    bool AtEnd() const { return i >= n; }
    char Peek() const { return i < n ? p[i] : '\0'; }
    bool SkipBlanks() {
        int start = i;
        while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
        return i > start;
    }
    // A run of zero or more digits; the value saturates instead of overflowing.
    int Number(int* digits) {
        int value = 0;
        *digits = 0;
        while (i < n && p[i] >= '0' && p[i] <= '9') {
            if (value < 100000000) value = value * 10 + (p[i] - '0');
            ++i;
            ++*digits;
        }
        return value;
    }
};

bool IsDateSeparator(char c) { return c == '-' || c == '.' || c == '/' || c == '_'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int MatchMonthName(const Cursor& c) {
    if (c.i + 3 > c.n || c.p[c.i] < 'A' || c.p[c.i] > 'S') return 0;  // digits, blanks: no name
    for (int m = 0; m < 12; ++m) {
        if (c.p[c.i] == kMonths[m][0] && c.p[c.i + 1] == kMonths[m][1] && c.p[c.i + 2] == kMonths[m][2]) return m + 1;
    }
    return 0;
}

// Reads the decimal fraction after "," or "." as milliseconds, truncated. It counts only
// when some byte of the line follows its digits.
int Fraction(Cursor& c) {
    int ms = 0;
    int digits = 0;
    while (!c.AtEnd() && IsDigit(c.Peek())) {
        if (digits < 3) ms = ms * 10 + (c.Peek() - '0');
        ++digits;
        ++c.i;
    }
    if (c.AtEnd()) return 0;
    for (int k = digits; k < 3; ++k) ms *= 10;
    return ms;
}

struct DatePart {
    int year = 0, yearDigits = 0, month = 0, monthDigits = 0, day = 0, dayDigits = 0;
};

// The date: a month name and the day, or year, month and day between separators, or month
// and day with the hour straight after; then at most two other characters before the hour.
bool ParseDate(Cursor& c, DatePart* d) {
    c.SkipBlanks();
    bool needJoint = true;
    if (int m = MatchMonthName(c)) {
        d->month = m;
        d->monthDigits = 1;
        c.i += 3;
        c.SkipBlanks();
        d->day = c.Number(&d->dayDigits);
    } else {
        int aDigits, bDigits;
        int a = c.Number(&aDigits);
        c.SkipBlanks();
        if (!IsDateSeparator(c.Peek()) || c.AtEnd()) return false;
        ++c.i;
        c.SkipBlanks();
        int b = c.Number(&bDigits);
        c.SkipBlanks();
        if (c.AtEnd()) return false;
        if (IsDateSeparator(c.Peek())) {
            ++c.i;
            c.SkipBlanks();
            d->year = a;
            d->yearDigits = aDigits;
            d->month = b;
            d->monthDigits = bDigits;
            d->day = c.Number(&d->dayDigits);
        } else if (bDigits > 0 && IsDigit(c.Peek())) {
            d->month = a;
            d->monthDigits = aDigits;
            d->day = b;
            d->dayDigits = bDigits;
            needJoint = false;
        } else {
            return false;
        }
    }
    if (needJoint) {
        c.SkipBlanks();
        int skipped = 0;
        while (!c.AtEnd() && !IsDigit(c.Peek())) {
            if (++skipped > 2) return false;
            ++c.i;
        }
    }
    return true;
}

struct TimePart {
    int hour = 0, hourDigits = 0, minute = 0, minuteDigits = 0, second = 0, secondDigits = 0, fraction = 0;
};

// Hours, minutes and seconds between colons, and milliseconds after a comma or a point.
// The byte after the seconds must lie inside the line.
bool ParseTime(Cursor& c, TimePart* t) {
    c.SkipBlanks();
    t->hour = c.Number(&t->hourDigits);
    c.SkipBlanks();
    if (c.Peek() != ':' || c.AtEnd()) return false;
    ++c.i;
    c.SkipBlanks();
    t->minute = c.Number(&t->minuteDigits);
    c.SkipBlanks();
    if (c.Peek() != ':' || c.AtEnd()) return false;
    ++c.i;
    c.SkipBlanks();
    t->second = c.Number(&t->secondDigits);
    if (c.AtEnd()) return false;
    bool blank = c.SkipBlanks();
    char next = c.Peek();
    if (!c.AtEnd() && (next == ',' || next == '.')) {
        ++c.i;
        c.SkipBlanks();
        t->fraction = Fraction(c);
    } else if (!blank && next != '\r' && next != '\n') {
        return false;
    }
    return true;
}

// Inlined into its one caller: the load asks it of every line.
inline __attribute__((always_inline)) bool Parse(Cursor& c, CTimeStamp* out) {
    DatePart d;
    TimePart t;
    if (!ParseDate(c, &d) || !ParseTime(c, &t)) return false;
    if (d.monthDigits == 0 || d.dayDigits == 0 || t.hourDigits == 0 || t.minuteDigits == 0 || t.secondDigits == 0) {
        return false;
    }
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return false;
    }
    out->year = static_cast<uint16_t>(d.yearDigits >= 1 && d.yearDigits <= 2 ? d.year + 2000 : d.year);
    out->month = static_cast<uint8_t>(d.month);
    out->day = static_cast<uint8_t>(d.day);
    out->milliseconds = static_cast<uint32_t>(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.fraction);
    return true;
}

// Most logs begin "YYYY-MM-DD hh:mm:ss" (any date separators, a blank or T between): read at
// fixed places, about a tenth of the general reader's work. kUnsure sends the line to the
// general reader; kFound and kNone are what it would answer, with the same stamp and end.
enum CommonForm { kUnsure, kFound, kNone };

inline CommonForm ParseCommonForm(const char* p, int n, CTimeStamp* out, int* end) {
    if (n < 20) return kUnsure;
    // The marks first, as they rule other lines out sooner than the digits.
    if (!IsDateSeparator(p[4]) || !IsDateSeparator(p[7]) || (p[10] != ' ' && p[10] != 'T')) return kUnsure;
    if (p[13] != ':' || p[16] != ':') return kUnsure;
    if (!DateTimeDigitsAt(p)) return kUnsure;
    char next = p[19];
    // A byte after the seconds that none of the cases below takes ("+09:00", "Z") makes no
    // stamp of this form, whatever the fields hold.
    if (next != '.' && next != ',' && next != ' ' && next != '\t' && !IsDigit(next) && next != '\r' && next != '\n') {
        return kNone;
    }
    int year = TwoDigits(p) * 100 + TwoDigits(p + 2);
    int month = TwoDigits(p + 5);
    int day = TwoDigits(p + 8);
    int hour = TwoDigits(p + 11);
    int minute = TwoDigits(p + 14);
    int second = TwoDigits(p + 17);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return kNone;
    int i = 19;
    int ms = 0;
    if (next == '.' || next == ',') {
        if (n < 22 || !IsDigit(p[20])) return kUnsure;
        for (i = 20; i < n && IsDigit(p[i]); ++i) {
            if (i < 23) ms = ms * 10 + (p[i] - '0');
        }
        if (i >= n) return kUnsure;  // a fraction at the line's very end is the general reader's case
        for (int k = i; k < 23; ++k) ms *= 10;
    } else if (next == ' ' || next == '\t') {
        while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
        if (i < n && (p[i] == '.' || p[i] == ',')) return kUnsure;
    } else if (IsDigit(next)) {
        return kUnsure;
    } else if (next != '\r' && next != '\n') {
        return kNone;  // "+09:00", "Z": no stamp of the basic form; the further forms read it
    }
    out->year = static_cast<uint16_t>(year);
    out->month = static_cast<uint8_t>(month);
    out->day = static_cast<uint8_t>(day);
    out->milliseconds = static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + ms);
    *end = i;
    return kFound;
}

// The ends of the runs of digits in a line: its first sixteen bytes classified at once, as
// the numbers that lead a line mostly end among them, and sixteen at a time beyond them, as
// epoch times and compact dates are long runs.
struct CDigitRuns {
    CDigitRuns(const char* bytes, int length) : p(bytes), n(length), first16(length >= 16 ? DigitBits16(bytes) : 0) {}

    // The end of the run from p[i] on (i itself when p[i] is no digit).
    int End(int i) const {
        if (n >= 16 && i < 16) {
            i += __builtin_ctz(~(first16 >> i));  // at most 16
            if (i < 16) return i;
        }
        for (int k = 16; k == 16 && n - i >= 16; i += k) k = DigitsAt(p + i, 16);
        while (i < n && IsDigit(p[i])) ++i;
        return i;
    }

    const char* p;
    int n;
    uint32_t first16;  // bit k for a digit at p[k]
};

// Whether the general reader's date fails on a line led by a digit: its first number must be
// followed by a date separator (an epoch time or "240315 231000" is not), its second by a
// separator or, after blanks, a digit. Its first steps, taken without its cursor.
inline bool NumbersLeadNoDate(const char* p, int n, const CDigitRuns& runs) {
    auto blanks = [p, n](int i) {
        while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
        return i;
    };
    auto digits = [&runs](int i) { return runs.End(i); };
    int i = blanks(digits(0));
    if (i >= n || !IsDateSeparator(p[i])) return true;
    int second = blanks(i + 1);
    int afterSecond = digits(second);
    i = blanks(afterSecond);
    if (i >= n) return true;
    return !IsDateSeparator(p[i]) && !(afterSecond > second && IsDigit(p[i]));
}

// Whether an address leads the line ("10.0.15.15 - -"): four numbers between points, with no
// colon after them (blanks at most between), where the general reader wants the hour's.
inline bool AddressLeadsNoTime(const char* p, int n, const CDigitRuns& runs) {
    if (n >= 16) {
        // The ends of the four numbers are the first four bytes that are no digits; when they
        // all lie among the first sixteen, the mask tells them at once.
        uint32_t stops = ~runs.first16;  // bits from 16 on stand for bytes not classified
        int ends[4];
        for (int& end : ends) {
            end = __builtin_ctz(stops);
            stops &= stops - 1;
        }
        if (ends[3] < 16) {
            if (ends[0] == 0 || ends[1] == ends[0] + 1 || ends[2] == ends[1] + 1 || ends[3] == ends[2] + 1)
                return false;
            if (p[ends[0]] != '.' || p[ends[1]] != '.' || p[ends[2]] != '.') return false;
            int i = ends[3];
            while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
            return i >= n || p[i] != ':';
        }
    }
    int i = 0;
    for (int part = 0; part < 4; ++part) {
        int start = i;
        i = runs.End(i);
        if (i == start) return false;
        if (part < 3) {
            if (i >= n || p[i] != '.') return false;
            ++i;
        }
    }
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    return i >= n || p[i] != ':';
}

// Lines the general reader is sure to find no stamp in, at a fraction of its cost: those led
// by a time alone ("23:10:00.015 ..."), where it wants a date separator after the first
// number; those led by numbers that make no date; and those led by an address ("10.0.15.15 -
// - [06/May/2024..."), whose first three numbers it takes for a date and the fourth for the
// hour, failing unless a colon follows that hour, after blanks at most.
inline bool GeneralReaderFails(const char* p, int n) {
    // A line led by a byte that begins no number, no month's name, and is no blank or date
    // separator ("[Fri ...", "I0517 ...", "node-07 ..."): the date reads nothing there.
    if (!IsDigit(p[0])) {
        if (p[0] == ' ' || p[0] == '\t' || IsDateSeparator(p[0])) return false;
        Cursor c{p, n};
        return MatchMonthName(c) == 0;
    }
    if (n < 8) return false;
    if (p[1] == ':' || (IsDigit(p[1]) && p[2] == ':')) return true;
    CDigitRuns runs(p, n);
    // An address is looked for first, and only after a first number of one to three digits
    // (which rules most other lines out at once); either finding is enough.
    bool dotted = p[1] == '.' || p[2] == '.' || p[3] == '.';
    return (dotted && AddressLeadsNoTime(p, n, runs)) || NumbersLeadNoDate(p, n, runs);
}

}  // namespace

int ParseTimeStamp(const char* bytes, int length, CTimeStamp* stamp) {
    int end = 0;
    return ParseTimeStampEnd(bytes, length, stamp, &end);
}

int ParseTimeStampEnd(const char* bytes, int length, CTimeStamp* stamp, int* end) {
    *stamp = CTimeStamp();
    *end = 0;
    if (bytes == nullptr || length <= 0) return 0;
    CTimeStamp common;
    switch (ParseCommonForm(bytes, length, &common, end)) {
        case kFound:
            *stamp = common;
            return 1;
        case kNone:
            *end = 0;
            return 0;
        case kUnsure:
            break;
    }
    if (GeneralReaderFails(bytes, length)) return 0;
    return ParseTimeStampGeneral(bytes, length, stamp, end);
}

int ParseTimeStampGeneral(const char* bytes, int length, CTimeStamp* stamp, int* end) {
    *stamp = CTimeStamp();
    *end = 0;
    if (bytes == nullptr || length <= 0) return 0;
    Cursor c{bytes, length};
    CTimeStamp result;
    if (!Parse(c, &result)) return 0;
    *stamp = result;
    *end = c.i;
    return 1;
}

int32_t IntervalAfter(const CTimeStamp& reference, const CTimeStamp& row) {
    return row.milliseconds >= reference.milliseconds ? static_cast<int32_t>(row.milliseconds - reference.milliseconds)
                                                      : kIntervalWrapped;
}

int CIntervalTracker::Next(const CTimeStamp& row, int32_t* ms, char16_t* text) {
    if (!row.HasDate()) return 0;
    int32_t d = IntervalAfter(m_reference, row);
    if (row.milliseconds >= m_reference.milliseconds) {
        uint32_t diff = row.milliseconds - m_reference.milliseconds;
        FormatString64(text, u"%02d:%02d:%02d.%03d", static_cast<int>(diff / 3600000),
                       static_cast<int>(diff % 3600000 / 60000), static_cast<int>(diff % 60000 / 1000),
                       static_cast<int>(diff % 1000));
    } else {
        FormatString64(text, u"%02d:%02d:%02d.%03d", 99, 99, 99, 999);
    }
    *ms = d;
    m_reference = row;
    return 1;
}
