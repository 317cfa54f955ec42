// The merged view's keys: a dated clock for every log, and a time alone counted across midnight.
#include "merge/merge_keys.h"

CMergeKeys::CMergeKeys(const CStampClock& clock, int64_t offsetMs) : m_clock(clock), m_offset(offsetMs) {
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(clock.FirstDay() / kMillisecondsPerDay, &m_firstYear, &month, &day);
}

uint16_t CMergeKeys::YearOf(const CTimeStamp& stamp) {
    // A month more than half a year before the last has passed New Year.
    if (m_state.lastMonth != 0 && stamp.month + 6 < m_state.lastMonth) ++m_state.yearsPassed;
    m_state.lastMonth = stamp.month;
    int64_t year = m_firstYear + m_state.yearsPassed;
    return static_cast<uint16_t>(year < 1 ? 1 : year > 9999 ? 9999 : year);
}

int64_t CMergeKeys::OwnKey(const CTimeStamp& stamp) {
    if (stamp.IsTimeOnly()) {
        // A time alone going back by more than half a day has passed midnight.
        if (m_state.timeOnlySeen && stamp.milliseconds + kMillisecondsPerDay / 2 < m_state.lastTimeOnly) {
            ++m_state.timeOnlyDays;
        }
        m_state.timeOnlySeen = true;
        m_state.lastTimeOnly = stamp.milliseconds;
        return m_clock.Key(stamp) + m_state.timeOnlyDays * kMillisecondsPerDay + m_offset;
    }
    CTimeStamp midnight = stamp;
    if (stamp.year == 0) midnight.year = YearOf(stamp);
    uint32_t date = static_cast<uint32_t>(midnight.year) << 16 | static_cast<uint32_t>(stamp.month) << 8 | stamp.day;
    if (date != m_date) {
        midnight.milliseconds = 0;
        m_dayKey = m_clock.Key(midnight);
        m_date = date;
    }
    return m_dayKey + stamp.milliseconds + m_offset;
}

namespace {

// The clock of a log whose stamps have no year, dated on day.
CStampClock ClockOnDay(const CTimeStamp& first, int64_t day) {
    if (first.IsTimeOnly()) return CStampClock(first, day);
    int64_t year = 0;
    unsigned month = 0;
    unsigned mday = 0;
    CivilFromDays(day, &year, &month, &mday);
    // A month after the file was written is last year's (a log begun before New Year).
    if (first.month > month) --year;
    if (year < 1 || year > 9999) year = 1970;
    CTimeStamp dated = first;
    dated.year = static_cast<uint16_t>(year);
    return CStampClock(dated);
}

}  // namespace

CStampClock MergeClockOf(const CLogLineList& index, int64_t writtenDay, int64_t fallbackDay, bool* hasOwnDay) {
    CTimeStamp first;
    CLogLine line;
    for (CLogLineReader reader(index, 0); reader.Next(&line);) {
        const CTimeStamp& s = line.timeStamp;
        if (!s.HasDate()) continue;
        if (s.year != 0) {
            *hasOwnDay = true;
            return CStampClock(s);
        }
        if (!first.HasDate()) first = s;
    }
    *hasOwnDay = writtenDay != CStampClock::kNoDay;
    if (!first.HasDate()) return CStampClock();
    return ClockOnDay(first, *hasOwnDay ? writtenDay : fallbackDay);
}

CTimeStamp StampOfKey(int64_t key) {
    CTimeStamp stamp;
    if (key == kBeforeFirstStamp) return stamp;
    int64_t day = key >= 0 ? key / kMillisecondsPerDay : -((-key + kMillisecondsPerDay - 1) / kMillisecondsPerDay);
    int64_t year = 0;
    unsigned month = 0;
    unsigned mday = 0;
    CivilFromDays(day, &year, &month, &mday);
    if (year < 1) return CTimeStamp{1, 1, 1, 0};
    if (year > 9999) return CTimeStamp{9999, 12, 31, kMillisecondsPerDay - 1};
    stamp.year = static_cast<uint16_t>(year);
    stamp.month = static_cast<uint8_t>(month);
    stamp.day = static_cast<uint8_t>(mday);
    stamp.milliseconds = static_cast<uint32_t>(key - day * kMillisecondsPerDay);
    return stamp;
}

CTimeStamp CKeyStamps::NewDay(int64_t key) {
    CTimeStamp stamp = StampOfKey(key);
    // Only a day within the years a stamp can hold (not the ends StampOfKey clamps to).
    if (key != kBeforeFirstStamp && stamp.year > 1 && stamp.year < 9999) {
        m_day = stamp;
        m_dayStart = key - stamp.milliseconds;
    }
    return stamp;
}
