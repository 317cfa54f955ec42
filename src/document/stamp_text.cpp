// The readers the built-in stamp forms and the user's patterns are made of.
#include "document/stamp_text.h"

namespace {

const char* const kMonthNames[12] = {"january", "february", "march",     "april",   "may",      "june",
                                     "july",    "august",   "september", "october", "november", "december"};
const char* const kWeekdayNames[7] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLetterOrDigit(char c) { return IsStampDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

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

// The names of a list differ in their first three letters, which are compared once.
int FindName(CStampText& t, const char* const* names, int count) {
    if (t.i + 3 > t.n) return 0;
    char a = Lower(t.p[t.i]), b = Lower(t.p[t.i + 1]), c = Lower(t.p[t.i + 2]);
    for (int k = 0; k < count; ++k) {
        if (names[k][0] == a && names[k][1] == b && names[k][2] == c) return MatchRest(t, names[k]) ? k + 1 : 0;
    }
    return 0;
}

}  // namespace

int CStampFields::ToStamp(CTimeStamp* stamp) const {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return 0;
    if (year < 0 || year > 65535) return 0;
    stamp->year = static_cast<uint16_t>(year);
    stamp->month = static_cast<uint8_t>(month);
    stamp->day = static_cast<uint8_t>(day);
    stamp->milliseconds = static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
    return 1;
}

bool CStampText::Take(char c) {
    if (AtEnd() || p[i] != c) return false;
    ++i;
    return true;
}

bool CStampText::Blanks() {
    int start = i;
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    return i > start;
}

bool CStampText::Digits(int min, int max, int* value) {
    int v = 0;
    int k = 0;
    while (k < max && i + k < n && IsStampDigit(p[i + k])) {
        v = v * 10 + (p[i + k] - '0');
        ++k;
    }
    if (k < min) return false;
    i += k;
    *value = v;
    return true;
}

bool CStampText::MonthName(int* month) {
    int m = FindName(*this, kMonthNames, 12);
    if (m == 0) return false;
    *month = m;
    return true;
}

bool CStampText::WeekdayName() { return FindName(*this, kWeekdayNames, 7) != 0; }

bool CStampText::Fraction(int* ms) {
    int value = 0;
    int digits = 0;
    while (!AtEnd() && IsStampDigit(p[i])) {
        if (digits < 3) value = value * 10 + (p[i] - '0');
        ++digits;
        ++i;
    }
    if (digits == 0) return false;
    for (int k = digits; k < 3; ++k) value *= 10;
    *ms = value;
    return true;
}

bool CStampText::Zone() {
    if (Take('Z')) return true;
    if (Peek() != '+' && Peek() != '-') return false;
    int start = i;
    ++i;
    int hours, minutes;
    if (!Digits(2, 2, &hours)) {
        i = start;
        return false;
    }
    int beforeMinutes = i;
    bool colon = Take(':');
    if (!Digits(2, 2, &minutes)) i = colon ? beforeMinutes : i;
    return true;
}

bool CStampText::Time(CStampFields* f, bool colonFraction) {
    if (!Digits(1, 2, &f->hour) || !Take(':') || !Digits(2, 2, &f->minute) || !Take(':') || !Digits(2, 2, &f->second)) {
        return false;
    }
    int beforeFraction = i;
    if (Take('.') || Take(',') || (colonFraction && Take(':'))) {
        if (!Fraction(&f->millisecond)) i = beforeFraction;
    }
    Zone();
    return true;
}

bool CStampText::Ends() const { return AtEnd() || !IsLetterOrDigit(p[i]); }
