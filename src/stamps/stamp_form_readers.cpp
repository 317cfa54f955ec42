// The built-in stamp forms, each read at one place of a line, and a time of day alone. Each form
// reader is strict where the line-start recogniser is lenient (two-digit minutes and seconds,
// a year of two or four digits, a stamp that ends before a letter or digit), since here a
// stamp may stand anywhere among the first bytes, beside version numbers, addresses and
// identifiers.
#include "stamps/stamp_form_readers.h"

#include "stamps/stamp_quick_reads.h"
#include "stamps/stamp_text.h"

namespace {

using FormReader = bool (*)(CStampText&, CStampFields*);

// A year of exactly two or four digits; two are read as 20yy.
bool Year(CStampText& t, int* year) {
    int start = t.i;
    if (!t.Digits(2, 4, year)) return false;
    int digits = t.i - start;
    if (digits == 3) return false;
    if (digits == 2) *year += 2000;
    return true;
}

// A zone's name and the blanks after it ("UTC ", "CEST "), as date(1) writes it between the
// time and the year; a name it does not know (two to five capitals) is passed over.
bool ZoneBeforeYear(CStampText& t, CStampFields* f) {
    int start = t.i;
    if (t.ZoneName(&f->zone) && t.Blanks()) return true;
    f->zone = kNoZone;
    t.i = start;
    while (t.i - start < 6 && t.Peek() >= 'A' && t.Peek() <= 'Z') ++t.i;
    if (t.i - start >= 2 && t.i - start <= 5 && t.Blanks()) return true;
    t.i = start;
    return false;
}

// A numeric zone after a blank ("13:55:36 -0700"), where a form writes its zone so.
void ZoneAfterBlank(CStampText& t, CStampFields* f) {
    int start = t.i;
    int zone = kNoZone;
    if (t.Blanks() && (t.Peek() == '+' || t.Peek() == '-') && t.Zone(&zone) && t.Ends() && zone != kNoZone) {
        f->zone = zone;
        return;
    }
    t.i = start;
}

// A zone's name after a blank ("2024-05-06 08:00:00 UTC"), for any form that read no zone.
void ZoneNameAfterBlank(CStampText& t, CStampFields* f) {
    int start = t.i;
    if (t.Take(' ') && t.ZoneName(&f->zone)) return;
    f->zone = kNoZone;
    t.i = start;
}

// Sun Dec 04 04:47:44 2005, Thu Jun  2 00:01:01 UTC 2022
bool ReadCLibrary(CStampText& t, CStampFields* f) {
    if (!t.WeekdayName() || !t.Blanks() || !t.MonthName(&f->month) || !t.Blanks() || !t.Digits(1, 2, &f->day) ||
        !t.Blanks() || !t.Time(f) || !t.Blanks()) {
        return false;
    }
    ZoneBeforeYear(t, f);
    return t.Digits(4, 4, &f->year);
}

// I0517 15:04:22.619642, E20200308 23:47:32.089828: a level letter, mmdd or yyyymmdd, the time
bool ReadGlog(CStampText& t, CStampFields* f) {
    char level = t.Peek();
    if (level != 'I' && level != 'W' && level != 'E' && level != 'F') return false;
    ++t.i;
    int start = t.i;
    int date = 0;
    if (!t.Digits(4, 8, &date) || (t.i - start != 4 && t.i - start != 8)) return false;
    f->year = t.i - start == 8 ? date / 10000 : 0;
    f->month = date / 100 % 100;
    f->day = date % 100;
    return t.Blanks() && t.Time(f);
}

// Nov  9 12:01:01, Nov 9, 2005 12:01:01, Mar-18 21:41:15.684
bool ReadMonthName(CStampText& t, CStampFields* f) {
    if (!t.MonthName(&f->month) || (!t.Take('-') && !t.Blanks()) || !t.Digits(1, 2, &f->day)) return false;
    t.Take(',');
    if (!t.Blanks()) return false;
    int beforeYear = t.i;
    if (!t.Digits(4, 4, &f->year) || !t.Blanks()) {
        t.i = beforeYear;
        f->year = 0;
    }
    return t.Time(f);
}

// 10/Oct/2000:13:55:36 -0700, 28/Jun/2017 07:28:59
bool ReadAccessLog(CStampText& t, CStampFields* f) {
    if (!t.Digits(1, 2, &f->day) || !t.Take('/') || !t.MonthName(&f->month) || !t.Take('/') ||
        !t.Digits(4, 4, &f->year) || (!t.Take(':') && !t.Blanks()) || !t.Time(f)) {
        return false;
    }
    if (f->zone == kNoZone) ZoneAfterBlank(t, f);
    return true;
}

// 06 May 2024 08:00:00, 06-May-2024 08:00:00.123, 13 Apr 12:52:30.731 (no year, as redis)
bool ReadDayMonth(CStampText& t, CStampFields* f) {
    if (!t.Digits(1, 2, &f->day)) return false;
    bool dash = t.Take('-');
    if (!dash && !t.Blanks()) return false;
    if (!t.MonthName(&f->month)) return false;
    if (dash ? !t.Take('-') : !t.Blanks()) return false;
    bool year = t.Digits(4, 4, &f->year) && t.Blanks();
    if (!year) f->year = 0;
    if ((!year && dash) || !t.Time(f)) return false;
    if (f->zone == kNoZone) ZoneAfterBlank(t, f);
    return true;
}

// The day of the year of an ISO ordinal date (2012-025T10:22:40,672): exactly three digits
// before the T, as month and day.
bool OrdinalDay(CStampText& t, CStampFields* f) {
    int start = t.i;
    int day = 0;
    if (!t.Digits(3, 3, &day) || t.Peek() != 'T') {
        t.i = start;
        return false;
    }
    bool leap = (f->year % 4 == 0 && f->year % 100 != 0) || f->year % 400 == 0;
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day < 1 || day > (leap ? 366 : 365)) return false;
    int month = 0;
    for (;;) {
        int length = kDays[month] + (month == 1 && leap ? 1 : 0);
        if (day <= length) break;
        day -= length;
        ++month;
    }
    f->month = month + 1;
    f->day = day;
    return true;
}

// A date and a time each in quotes: "2017-06-28" "07:26:35".
bool QuotedJoint(CStampText& t) {
    int start = t.i;
    if (t.Take('"') && t.Blanks() && t.Take('"')) return true;
    t.i = start;
    return false;
}

// 2024-05-06T08:00:00.123456+09:00, 2017/05/16 00:00:00,008, 21.03.04_05:06:07
bool ReadIsoDate(CStampText& t, CStampFields* f) {
    if (!Year(t, &f->year)) return false;
    char sep = t.Peek();
    if (sep != '-' && sep != '/' && sep != '.') return false;
    ++t.i;
    if (sep == '-' && OrdinalDay(t, f)) return t.Take('T') && t.Time(f);
    if (!t.Digits(1, 2, &f->month) || !t.Take(sep) || !t.Digits(1, 2, &f->day)) return false;
    if (!t.Take('T') && !t.Take('_') && !t.Take('-') && !t.Blanks() && !QuotedJoint(t)) return false;
    return t.Time(f);
}

// 2005-06-03-15.42.50.675872
bool ReadDottedTime(CStampText& t, CStampFields* f) {
    if (!t.Digits(4, 4, &f->year) || !t.Take('-') || !t.Digits(2, 2, &f->month) || !t.Take('-') ||
        !t.Digits(2, 2, &f->day) || !t.Take('-') || !t.Digits(2, 2, &f->hour) || !t.Take('.') ||
        !t.Digits(2, 2, &f->minute) || !t.Take('.') || !t.Digits(2, 2, &f->second)) {
        return false;
    }
    int beforeFraction = t.i;
    if (t.Take('.') && !t.Fraction(&f->millisecond)) t.i = beforeFraction;
    return true;
}

// hhmmss with an optional fraction and zone.
bool CompactTime(CStampText& t, CStampFields* f) {
    int start = t.i;
    int hhmmss;
    if (!t.Digits(6, 6, &hhmmss)) return false;
    if (IsStampDigit(t.Peek()) && !t.AtEnd()) {
        t.i = start;
        return false;
    }
    f->hour = hhmmss / 10000;
    f->minute = hhmmss / 100 % 100;
    f->second = hhmmss % 100;
    int beforeFraction = t.i;
    if ((t.Take('.') || t.Take(',')) && !t.Fraction(&f->millisecond)) t.i = beforeFraction;
    t.Zone();
    return true;
}

// 081109 203615, 20171223-22:15:29:606, 20171223-7:5:42:19, 20240506T080000Z, 20120702.102240,672
bool ReadCompactDate(CStampText& t, CStampFields* f) {
    int start = t.i;
    int date;
    if (!t.Digits(6, 8, &date)) return false;
    int digits = t.i - start;
    if (digits == 7 || (IsStampDigit(t.Peek()) && !t.AtEnd())) return false;
    f->year = date / 10000 + (digits == 6 ? 2000 : 0);
    f->month = date / 100 % 100;
    f->day = date % 100;
    bool dash = t.Take('-');
    bool point = !dash && t.Take('.');
    if (!dash && !point && !t.Take('T') && !t.Blanks()) return false;
    if (CompactTime(t, f)) return true;
    if (point) return false;
    // After eight digits and a dash, loggers that do not pad write 20171223-7:5:42:19.
    return t.Time(f, dash && digits == 8 ? CStampText::kLoose : CStampText::kColonMs);
}

// The n bytes of a character at the cursor: passed over.
bool Glyph(CStampText& t, const char* bytes, int n) {
    for (int k = 0; k < n; ++k) {
        if (t.Peek(k) != bytes[k]) return false;
    }
    t.i += n;
    return true;
}

// A kanji of a Japanese date, in UTF-8 or in Shift_JIS.
bool Kanji(CStampText& t, const char* utf8, const char* shiftJis) { return Glyph(t, utf8, 3) || Glyph(t, shiftJis, 2); }

bool YearKanji(CStampText& t) { return Kanji(t, "\xE5\xB9\xB4", "\x94\x4E"); }
bool MonthKanji(CStampText& t) { return Kanji(t, "\xE6\x9C\x88", "\x8C\x8E"); }
bool DayKanji(CStampText& t) { return Kanji(t, "\xE6\x97\xA5", "\x93\xFA"); }

// A weekday in brackets after a Japanese date: "(月)", "（月）", passed over.
void JapaneseWeekday(CStampText& t) {
    int start = t.i;
    t.Blanks();
    if (t.Take('(')) {
        while (t.i - start < 12 && !t.AtEnd() && t.Peek() != ')') ++t.i;
        if (t.Take(')')) return;
    }
    t.i = start;
}

// 2024年5月6日 8:00:00, 2024年 5月 6日(月) 08:00:00, 5月 19 11:08:37 (the month names of a
// Japanese system)
bool ReadJapaneseDate(CStampText& t, CStampFields* f) {
    int start = t.i;
    int first = 0;
    if (!t.Digits(1, 4, &first)) return false;
    int digits = t.i - start;
    if (digits == 4 && YearKanji(t)) {
        f->year = first;
        t.Blanks();
        if (!t.Digits(1, 2, &f->month) || !MonthKanji(t)) return false;
        t.Blanks();
        if (!t.Digits(1, 2, &f->day) || !DayKanji(t)) return false;
        JapaneseWeekday(t);
        t.Blanks();
        return t.Time(f);
    }
    if (digits > 2 || !MonthKanji(t)) return false;
    f->month = first;
    t.Blanks();
    if (!t.Digits(1, 2, &f->day)) return false;
    DayKanji(t);
    return t.Blanks() && t.Time(f);
}

// 10.30 16:49:06 (no year)
bool ReadMonthDay(CStampText& t, CStampFields* f) {
    if (!t.Digits(2, 2, &f->month)) return false;
    char sep = t.Peek();
    if (sep != '.' && sep != '/' && sep != '-') return false;
    ++t.i;
    return t.Digits(2, 2, &f->day) && t.Blanks() && t.Time(f);
}

// A form, and what the text at its start must look like for it to be tried at all: the
// lengths the first run of digits may have (a bit for each), the bytes that may follow it,
// and whether it holds an h:mm:ss. Most fields of a line are no stamp; this keeps them cheap.
struct CFormEntry {
    FormReader read;
    StampForm form;
    uint32_t runLengths;
    const char* after;
    bool holdsTime;
};

constexpr uint32_t Run(int a, int b = 0) { return (1u << a) | (b > 0 ? 1u << b : 0u); }

// The name forms start with a letter and the others with a digit, so which of the two groups
// comes first decides nothing.
constexpr CFormEntry kForms[] = {
    {ReadCLibrary, StampForm::kCLibrary, Run(0), "", true},
    {ReadMonthName, StampForm::kMonthName, Run(0), "", true},
    {ReadGlog, StampForm::kGlog, Run(0), "", true},
    {ReadAccessLog, StampForm::kAccessLog, Run(1, 2), "/", true},
    {ReadDayMonth, StampForm::kDayMonth, Run(1, 2), " \t-", true},
    {ReadIsoDate, StampForm::kIsoDate, Run(2, 4), "-/.", true},
    {ReadDottedTime, StampForm::kDottedTime, Run(4), "-", false},
    {ReadCompactDate, StampForm::kCompactDate, Run(6, 8), " \tT-.", false},
    {ReadMonthDay, StampForm::kMonthDay, Run(2), ".-/", true},
    {ReadJapaneseDate, StampForm::kJapaneseDate, Run(1, 2) | Run(4), "\xE5\xE6\x94\x8C", true},
};

constexpr int kFormCount = static_cast<int>(sizeof kForms / sizeof *kForms);

constexpr bool Contains(const char* set, char c) {
    for (; *set != 0; ++set) {
        if (*set == c) return true;
    }
    return false;
}

// The forms that may start at a place, bit k for kForms[k]: by the length of the run of
// digits there (0 to 8), by the byte after a run that is not empty, and among all forms or
// those without an h:mm:ss.
struct CFormSieve {
    uint32_t byRun[9] = {};
    uint32_t byAfter[256] = {};
    uint32_t all = 0;
    uint32_t timeless = 0;
};

constexpr CFormSieve MakeSieve() {
    CFormSieve s;
    for (int k = 0; k < kFormCount; ++k) {
        uint32_t bit = 1u << k;
        s.all |= bit;
        if (!kForms[k].holdsTime) s.timeless |= bit;
        for (int run = 0; run <= 8; ++run) {
            if ((kForms[k].runLengths >> run) & 1) s.byRun[run] |= bit;
        }
        for (int c = 1; c < 256; ++c) {
            if (Contains(kForms[k].after, static_cast<char>(c))) s.byAfter[c] |= bit;
        }
    }
    return s;
}

constexpr CFormSieve kSieve = MakeSieve();

// The forms the shape lets start at its place.
uint32_t FormsFor(const CFieldShape& shape) {
    uint32_t forms = shape.timeAhead ? kSieve.all : kSieve.timeless;
    if (shape.run < 0) return forms;
    if (shape.run > 8) return 0;
    forms &= kSieve.byRun[shape.run];
    return shape.run == 0 ? forms : forms & kSieve.byAfter[static_cast<unsigned char>(shape.after)];
}

// The digit runs some form may start with; those of the forms without an h:mm:ss when timeless.
constexpr uint32_t RunsOfForms(bool timeless) {
    uint32_t runs = 0;
    for (const CFormEntry& entry : kForms) runs |= timeless && entry.holdsTime ? 0 : entry.runLengths;
    return runs;
}

// The bytes some form lets follow its first run of digits.
struct CAfters {
    uint64_t bits[4] = {};
};

constexpr CAfters AftersOfForms() {
    CAfters a;
    for (const CFormEntry& entry : kForms) {
        for (const char* c = entry.after; *c != 0; ++c) {
            auto b = static_cast<unsigned char>(*c);
            a.bits[b >> 6] |= uint64_t{1} << (b & 63);
        }
    }
    return a;
}

constexpr CAfters kAfters = AftersOfForms();

}  // namespace

int TimeOnlyMatch(const CStampFields& f, bool ends, int at, CStampMatch* match) {
    if (!ends || f.hour > 23 || f.minute > 59 || f.second > 59) return 0;
    match->stamp = CTimeStamp();
    match->stamp.month = CTimeStamp::kTimeOnly;
    match->stamp.milliseconds =
        static_cast<uint32_t>(((f.hour * 60 + f.minute) * 60 + f.second) * 1000 + f.millisecond);
    if (f.zone != kNoZone) ApplyZone(&match->stamp, f.zone);
    match->form = StampForm::kTimeOnly;
    match->offset = at;
    return 1;
}

int ReadTimeOnly(const char* bytes, int length, CStampMatch* match) {
    CStampText t{bytes, length};
    t.Blanks();
    if (t.Peek() == '[' || t.Peek() == '|') ++t.i;
    // After a leading process id, as strace -f writes it.
    int start = t.i;
    int pid = 0;
    if (t.Digits(1, 9, &pid) && !t.Blanks()) t.i = start;
    CStampFields f;
    int at = t.i;
    if (!t.Time(&f)) return 0;
    return TimeOnlyMatch(f, t.Ends(), at, match);
}

const uint32_t kStampFormRuns[2] = {RunsOfForms(true), RunsOfForms(false)};
const uint64_t kStampFormAfters[4] = {kAfters.bits[0], kAfters.bits[1], kAfters.bits[2], kAfters.bits[3]};

int ReadStampFormAt(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match) {
    for (uint32_t forms = FormsFor(shape); forms != 0; forms &= forms - 1) {
        const CFormEntry& entry = kForms[__builtin_ctz(forms)];
        CStampText t{bytes, length, at};
        CStampFields f;
        CTimeStamp stamp;
        if (!entry.read(t, &f)) continue;
        if (f.zone == kNoZone) ZoneNameAfterBlank(t, &f);
        if (t.Ends() && f.ToStamp(&stamp)) {
            match->stamp = stamp;
            match->form = entry.form;
            match->offset = at;
            return 1;
        }
    }
    return 0;
}

int ReadStampFormAtOnce(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match) {
    CTimeStamp stamp;
    // Four digits and a dash, with an h:mm:ss ahead, start the ISO form before any other.
    bool iso = shape.run == 4 && shape.after == '-' && shape.timeAhead;
    uint32_t forms = iso ? 0 : FormsFor(shape);
    StampForm first = iso ? StampForm::kIsoDate : forms != 0 ? kForms[__builtin_ctz(forms)].form : StampForm::kNone;
    StampForm found = StampForm::kNone;
    if (first == StampForm::kIsoDate && QuickIsoDate(bytes, length, at, &stamp)) found = first;
    if (first == StampForm::kCompactDate && QuickCompactDate(bytes, length, at, &stamp)) found = first;
    if (first == StampForm::kCLibrary) {
        // glog's level letter and digits are no name, so the two name forms before it read nothing there.
        if (QuickCLibrary(bytes, length, at, &stamp))
            found = first;
        else if (QuickGlog(bytes, length, at, &stamp))
            found = StampForm::kGlog;
    }
    if (found == StampForm::kNone) return 0;
    match->stamp = stamp;
    match->form = found;
    match->offset = at;
    return 1;
}

int ReadStampFormQuickly(const char* bytes, int length, int at, const CFieldShape& shape, CStampMatch* match) {
    return ReadStampFormAtOnce(bytes, length, at, shape, match) || ReadStampFormAt(bytes, length, at, shape, match);
}
