// The readers the built-in stamp forms and the user's patterns are made of.
#include "stamps/stamp_text.h"

#include <cstring>

#include "stamps/stamp_clock.h"

namespace {

constexpr const char* kMonthNames[12] = {"january", "february", "march",     "april",   "may",      "june",
                                         "july",    "august",   "september", "october", "november", "december"};
constexpr const char* kWeekdayNames[7] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The rest of a name whose first three letters matched: passed over when the text has it
// whole. The name must not go on as a word.
bool MatchRest(CStampText& t, const char* name) {
    int k = 3;
    while (name[k] != 0 && Lower(t.Peek(k)) == name[k]) ++k;
    if (name[k] != 0) k = 3;
    char after = t.Peek(k);
    if (t.i + k < t.n && ((after >= 'A' && after <= 'Z') || (after >= 'a' && after <= 'z'))) return false;
    t.i += k;
    return true;
}

// The first three letters of a name as one number, lower case.
constexpr uint32_t Initials(char a, char b, char c) {
    return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16;
}

// The names of a list differ in their first three letters, which are compared at once: a
// byte with 0x20 set is the lower-case letter of a name only when it is that letter in
// either case.
int FindName(CStampText& t, const char* const* names, int count) {
    if (t.i + 3 > t.n) return 0;
    const char* s = t.p + t.i;
    uint32_t key =
        Initials(static_cast<char>(s[0] | 0x20), static_cast<char>(s[1] | 0x20), static_cast<char>(s[2] | 0x20));
    for (int k = 0; k < count; ++k) {
        if (Initials(names[k][0], names[k][1], names[k][2]) == key) return MatchRest(t, names[k]) ? k + 1 : 0;
    }
    return 0;
}

// The first three letters of the month and weekday names, lower case: bit (a * 26 + b) * 26 + c
// for the letters a, b and c (from "a"), so that a place is judged with one look.
struct CNameTrigrams {
    uint32_t bits[26 * 26 * 26 / 32 + 1] = {};
};

constexpr unsigned Trigram(char a, char b, char c) {
    return (static_cast<unsigned>(a - 'a') * 26 + static_cast<unsigned>(b - 'a')) * 26 + static_cast<unsigned>(c - 'a');
}

constexpr CNameTrigrams MakeNameTrigrams() {
    CNameTrigrams t;
    auto add = [&t](const char* name) {
        unsigned key = Trigram(name[0], name[1], name[2]);
        t.bits[key / 32] |= 1u << key % 32;
    };
    for (const char* name : kMonthNames) add(name);
    for (const char* name : kWeekdayNames) add(name);
    return t;
}

constexpr CNameTrigrams kNameTrigrams = MakeNameTrigrams();

}  // namespace

bool MayStartNameFormAtLetter(const char* p, int n) {
    if (n >= 2 && (p[0] == 'I' || p[0] == 'W' || p[0] == 'E' || p[0] == 'F') && p[1] >= '0' && p[1] <= '9') {
        return true;
    }
    if (n < 3) return false;
    auto letter = [p](int k) { return static_cast<unsigned>((p[k] | 0x20) - 'a'); };
    if (letter(1) >= 26 || letter(2) >= 26) return false;
    unsigned key = (letter(0) * 26 + letter(1)) * 26 + letter(2);
    return ((kNameTrigrams.bits[key / 32] >> key % 32) & 1) != 0;
}

int CStampFields::ToStamp(CTimeStamp* stamp) const {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return 0;
    if (year < 0 || year > 65535) return 0;
    stamp->year = static_cast<uint16_t>(year);
    stamp->month = static_cast<uint8_t>(month);
    stamp->day = static_cast<uint8_t>(day);
    stamp->milliseconds = static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
    ApplyZone(stamp, zone);
    return 1;
}

bool CStampText::MonthName(int* month) {
    int m = FindName(*this, kMonthNames, 12);
    if (m == 0) return false;
    *month = m;
    return true;
}

bool CStampText::WeekdayName() { return FindName(*this, kWeekdayNames, 7) != 0; }

bool CStampText::Zone(int* minutesEast) {
    if (Take('Z')) {
        if (minutesEast != nullptr) *minutesEast = 0;
        return true;
    }
    if (Peek() != '+' && Peek() != '-') return false;
    int start = i;
    int sign = Peek() == '-' ? -1 : 1;
    ++i;
    int hours, minutes = 0;
    if (!Digits(2, 2, &hours)) {
        i = start;
        return false;
    }
    int beforeMinutes = i;
    bool colon = Take(':');
    if (!Digits(2, 2, &minutes)) {
        minutes = 0;
        i = colon ? beforeMinutes : i;
    }
    if (minutesEast != nullptr) *minutesEast = hours <= 14 && minutes <= 59 ? sign * (hours * 60 + minutes) : kNoZone;
    return true;
}

namespace {

// Up to four capital letters as one number, the first in the highest byte used.
constexpr uint32_t Packed(const char* name) {
    uint32_t packed = 0;
    for (int k = 0; name[k] != 0; ++k) packed = packed << 8 | static_cast<unsigned char>(name[k]);
    return packed;
}

}  // namespace

bool CStampText::ZoneName(int* minutesEast) {
    struct CNamedZone {
        uint32_t name;
        int minutesEast;
    };
    // Compared as numbers: nearly every line of a log in the line-start form asks whether the
    // word after its stamp (INFO, WARN, ...) is a zone.
    static constexpr CNamedZone kZones[] = {
        {Packed("UTC"), 0},     {Packed("GMT"), 0},    {Packed("UT"), 0},     {Packed("WET"), 0},
        {Packed("WEST"), 60},   {Packed("CET"), 60},   {Packed("CEST"), 120}, {Packed("BST"), 60},
        {Packed("EET"), 120},   {Packed("EEST"), 180}, {Packed("MSK"), 180},  {Packed("EST"), -300},
        {Packed("EDT"), -240},  {Packed("CST"), -360}, {Packed("CDT"), -300}, {Packed("MST"), -420},
        {Packed("MDT"), -360},  {Packed("PST"), -480}, {Packed("PDT"), -420}, {Packed("AKST"), -540},
        {Packed("AKDT"), -480}, {Packed("HST"), -600}, {Packed("JST"), 540},  {Packed("KST"), 540},
        {Packed("HKT"), 480},   {Packed("SGT"), 480},  {Packed("AWST"), 480}, {Packed("ACST"), 570},
        {Packed("AEST"), 600},  {Packed("AEDT"), 660}, {Packed("NZST"), 720}, {Packed("NZDT"), 780},
    };
    if (!ZoneNameMayStart(Peek())) return false;
    int n = 0;
    uint32_t packed = 0;
    while (n < 5 && Peek(n) >= 'A' && Peek(n) <= 'Z') packed = packed << 8 | static_cast<unsigned char>(Peek(n++));
    char after = Peek(n);
    if (n < 2 || n > 4 || (after >= 'a' && after <= 'z') || (after >= 'A' && after <= 'Z')) return false;
    // Every name above ends with "T" but UTC and MSK: WARN and the like need no look-up.
    char last = Peek(n - 1);
    if (last != 'T' && last != 'C' && last != 'K') return false;
    for (const CNamedZone& zone : kZones) {
        if (zone.name == packed) {
            i += n;
            *minutesEast = zone.minutesEast;
            return true;
        }
    }
    return false;
}

namespace {

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The stamp's date a day later (step 1) or earlier (-1), or left as it is (0): false, and the
// stamp untouched, for a date this cannot step alone (an invalid one, the first or last year).
bool StepDay(CTimeStamp* stamp, int step) {
    if (step == 0) return true;
    unsigned month = stamp->month;
    unsigned day = stamp->day;
    int64_t year = stamp->year;
    if (month < 1 || month > 12 || day < 1 || (year != 0 && (year <= 1 || year >= 65535))) return false;
    // A stamp without a year: a leap year for the 29th of February, else a common one.
    bool leap = IsLeapYear(year != 0 ? year : month == 2 && day == 29 ? 2000 : 2001);
    auto length = [leap](unsigned m) {
        static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return m == 2 && leap ? 29u : kDays[m - 1];
    };
    if (day > length(month)) return false;
    if (step > 0 && day < length(month)) {
        ++day;
    } else if (step > 0) {
        day = 1;
        month = month % 12 + 1;
        if (month == 1 && year != 0) ++year;
    } else if (day > 1) {
        --day;
    } else {
        month = month == 1 ? 12 : month - 1;
        if (month == 12 && year != 0) --year;
        day = length(month);
    }
    stamp->year = static_cast<uint16_t>(year);
    stamp->month = static_cast<uint8_t>(month);
    stamp->day = static_cast<uint8_t>(day);
    return true;
}

}  // namespace

void ApplyZone(CTimeStamp* stamp, int minutesEast) {
    if (minutesEast == kNoZone || minutesEast == 0 || !stamp->HasDate()) return;
    if (stamp->IsTimeOnly()) {
        int64_t ms = int64_t{stamp->milliseconds} - int64_t{minutesEast} * 60000;
        stamp->milliseconds =
            static_cast<uint32_t>((ms % kMillisecondsPerDay + kMillisecondsPerDay) % kMillisecondsPerDay);
        return;
    }
    // Most shifts stay within the day or step to a neighbouring one: no calendar work for them.
    int64_t within = int64_t{stamp->milliseconds} - int64_t{minutesEast} * 60000;
    int step = within < 0 ? -1 : within >= kMillisecondsPerDay ? 1 : 0;
    if (within >= -kMillisecondsPerDay && within < 2 * kMillisecondsPerDay && StepDay(stamp, step)) {
        stamp->milliseconds = static_cast<uint32_t>(within - step * kMillisecondsPerDay);
        return;
    }
    // A stamp without a year: a leap year for the 29th of February, else a common one.
    int64_t year = stamp->year != 0 ? stamp->year : stamp->month == 2 && stamp->day == 29 ? 2000 : 2001;
    int64_t key = DaysFromCivil(year, stamp->month, stamp->day) * kMillisecondsPerDay + stamp->milliseconds -
                  int64_t{minutesEast} * 60000;
    int64_t days = key / kMillisecondsPerDay - (key % kMillisecondsPerDay < 0 ? 1 : 0);
    int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(days, &y, &m, &d);
    if (stamp->year != 0 && (y < 1 || y > 65535)) return;
    if (stamp->year != 0) stamp->year = static_cast<uint16_t>(y);
    stamp->month = static_cast<uint8_t>(m);
    stamp->day = static_cast<uint8_t>(d);
    stamp->milliseconds = static_cast<uint32_t>(key - days * kMillisecondsPerDay);
}
