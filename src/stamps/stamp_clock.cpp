// The stamp clock, the typed time and its text.
#include "stamps/stamp_clock.h"

#include <cstdio>

namespace {

// Floor division, since keys before 1970 are negative.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

bool IsLeap(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(int64_t year, unsigned month) {
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// A reader over the typed text: digits of a bounded count and single characters.
struct CQueryText {
    const char* p;
    const char* end;

    bool Digits(int least, int most, int64_t* value) {
        int n = 0;
        *value = 0;
        while (p < end && n < most && *p >= '0' && *p <= '9') {
            *value = *value * 10 + (*p++ - '0');
            ++n;
        }
        return n >= least && (p == end || *p < '0' || *p > '9');
    }
    bool Take(char c) {
        if (p == end || *p != c) return false;
        ++p;
        return true;
    }
    int SkipBlanks() {
        int n = 0;
        for (; p < end && (*p == ' ' || *p == '\t'); ++p) ++n;
        return n;
    }
};

// hh:mm:ss[.mmm] at the reader.
bool ReadTime(CQueryText& t, int64_t* ms) {
    int64_t h = 0;
    int64_t m = 0;
    int64_t s = 0;
    if (!t.Digits(1, 2, &h) || !t.Take(':') || !t.Digits(2, 2, &m) || !t.Take(':') || !t.Digits(2, 2, &s)) return false;
    if (h > 23 || m > 59 || s > 59) return false;
    int64_t fraction = 0;
    if (t.Take('.')) {
        const char* start = t.p;
        if (!t.Digits(1, 3, &fraction)) return false;
        for (auto digits = t.p - start; digits < 3; ++digits) fraction *= 10;
    }
    *ms = ((h * 60 + m) * 60 + s) * 1000 + fraction;
    return true;
}

// yyyy-mm-dd at the reader.
bool ReadDate(CQueryText& t, int64_t* day) {
    int64_t y = 0;
    int64_t m = 0;
    int64_t d = 0;
    if (!t.Digits(4, 4, &y) || !t.Take('-') || !t.Digits(1, 2, &m) || !t.Take('-') || !t.Digits(1, 2, &d)) return false;
    if (y == 0 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, static_cast<unsigned>(m))) return false;
    *day = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    return true;
}

}  // namespace

void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
    int64_t z = days + 719468;
    int64_t era = FloorDiv(z, 146097);
    auto doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    *day = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int64_t>(yoe) + era * 400 + (*month <= 2 ? 1 : 0);
}

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = FloorDiv(year, 400);
    auto yoe = static_cast<unsigned>(year - era * 400);
    unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CStampClock::CStampClock(const CTimeStamp& first, int64_t writtenDay)
    : m_dated(first.year != 0), m_firstYear(first.year) {
    if (m_dated) {
        m_firstDay = DaysFromCivil(first.year, first.month, first.day);
    } else if (first.IsTimeOnly() && writtenDay != kNoDay) {
        int64_t year = 0;
        unsigned month = 0;
        unsigned day = 0;
        CivilFromDays(writtenDay, &year, &month, &day);
        if (year < 1 || year > 9999) return;
        m_dated = true;
        m_firstYear = static_cast<uint16_t>(year);
        m_firstDay = writtenDay;
    }
}

int64_t CStampClock::Earliest() const { return m_dated ? DaysFromCivil(1, 1, 1) * kMillisecondsPerDay : 0; }

int64_t CStampClock::Key(const CTimeStamp& stamp) const {
    if (!m_dated) return stamp.milliseconds;
    if (stamp.IsTimeOnly()) return FirstDay() + stamp.milliseconds;
    uint16_t year = stamp.year != 0 ? stamp.year : m_firstYear;
    return DaysFromCivil(year, stamp.month, stamp.day) * kMillisecondsPerDay + stamp.milliseconds;
}

int64_t CStampKeys::Key(const CTimeStamp& stamp) {
    if (stamp.IsTimeOnly()) {
        // A time alone going back by more than half a day has passed midnight.
        if (m_timeOnlySeen && stamp.milliseconds + kMillisecondsPerDay / 2 < m_lastTimeOnly) ++m_timeOnlyDays;
        m_timeOnlySeen = true;
        m_lastTimeOnly = stamp.milliseconds;
        return m_clock.Key(stamp) + m_timeOnlyDays * kMillisecondsPerDay;
    }
    if (!m_clock.Dated()) return stamp.milliseconds;
    uint32_t date = static_cast<uint32_t>(stamp.year) << 16 | static_cast<uint32_t>(stamp.month) << 8 | stamp.day;
    if (date != m_date) {
        CTimeStamp midnight = stamp;
        midnight.milliseconds = 0;
        m_dayKey = m_clock.Key(midnight);
        m_date = date;
    }
    return m_dayKey + stamp.milliseconds;
}

int ParseTimeQuery(const char* text, size_t length, CTimeQuery* query) {
    CQueryText t{text, text + length};
    CTimeQuery q;
    t.SkipBlanks();
    CQueryText dateReader = t;
    if (ReadDate(dateReader, &q.day) && dateReader.SkipBlanks() > 0) {
        q.hasDate = true;
        t = dateReader;
    }
    if (!ReadTime(t, &q.milliseconds)) return 0;
    t.SkipBlanks();
    if (t.p != t.end) return 0;
    *query = q;
    return 1;
}

int64_t QueryKey(const CStampClock& clock, const CTimeQuery& query) {
    if (!clock.Dated()) return query.milliseconds;
    int64_t day = query.hasDate ? query.day * kMillisecondsPerDay : clock.FirstDay();
    return day + query.milliseconds;
}

void FormatStampKey(int64_t key, bool dated, char* out, size_t capacity) {
    int64_t days = FloorDiv(key, kMillisecondsPerDay);
    int64_t ms = key - days * kMillisecondsPerDay;
    auto s = static_cast<int>(ms / 1000);
    if (!dated) {
        s = static_cast<int>(key / 1000);
        std::snprintf(out, capacity, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        return;
    }
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, &year, &month, &day);
    std::snprintf(out, capacity, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(year), month, day, s / 3600,
                  s / 60 % 60, s % 60);
}
