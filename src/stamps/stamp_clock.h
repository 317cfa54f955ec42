// CStampClock: time stamps as one number (milliseconds on a clock the log's own stamps
// define), so that rows can be bucketed, compared and searched by time; and the time a
// user types ("hh:mm:ss[.mmm]" or "yyyy-mm-dd hh:mm:ss[.mmm]") on the same clock.
//
// A log is dated when its first stamp has a year. The key of a stamp is then its date and
// time (milliseconds since 1970-01-01 00:00 as the stamp gives them); a stamp without a year
// in a dated log takes the year of the first stamp, one of a time alone its first day. A log
// whose first stamp is a time alone is dated on the day its file was last written, when that
// is known. In any other log whose first stamp has no year the key is the time of day alone,
// so that a log passing midnight counts each row at its own time of day.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stamps/time_stamp.h"

constexpr int64_t kMillisecondsPerDay = 86400000;

class CStampClock {
public:
    CStampClock() = default;
    static constexpr int64_t kNoDay = INT64_MIN;
    // The clock of a log whose first stamp is first (a stamp with a date part). A log whose
    // first stamp is a time alone is dated on writtenDay (days since 1970-01-01: the day the
    // file was last written) when it is known, and undated when it is kNoDay.
    explicit CStampClock(const CTimeStamp& first, int64_t writtenDay = kNoDay);

    bool Dated() const { return m_dated; }
    // The key of a stamp with a date part (HasDate()).
    int64_t Key(const CTimeStamp& stamp) const;
    // The key at 00:00 of the log's first day (0 for a log without dates).
    int64_t FirstDay() const { return m_firstDay * kMillisecondsPerDay; }
    // The earliest key a stamp can have: 0001-01-01 00:00 when dated, else midnight (0).
    int64_t Earliest() const;

private:
    bool m_dated = false;
    uint16_t m_firstYear = 0;
    int64_t m_firstDay = 0;  // days since 1970-01-01
};

// A clock's keys for many stamps in a row, in row order: the day of the last date is kept,
// since neighbouring rows nearly always share it. A stamp of a time alone is on the log's
// first day (the time of day when undated), a day later each time such a stamp goes back by
// more than twelve hours. One per scan (not shared between threads).
class CStampKeys {
public:
    explicit CStampKeys(const CStampClock& clock) : m_clock(clock) {}
    int64_t Key(const CTimeStamp& stamp);

private:
    CStampClock m_clock;
    uint32_t m_date = 0xffffffff;  // year, month and day of the cached day
    int64_t m_dayKey = 0;
    bool m_timeOnlySeen = false;
    uint32_t m_lastTimeOnly = 0;
    int64_t m_timeOnlyDays = 0;
};

// Days since 1970-01-01 of a calendar date (proleptic Gregorian; a day past the month's end
// runs into the next month).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
// The calendar date of a day since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day);

// A time a user typed: "hh:mm:ss[.mmm]" or "yyyy-mm-dd hh:mm:ss[.mmm]" (ASCII, blanks around
// it allowed; the fraction is a decimal fraction of a second, kept to milliseconds).
struct CTimeQuery {
    bool hasDate = false;
    int64_t day = 0;           // days since 1970-01-01, when hasDate
    int64_t milliseconds = 0;  // time of day
};

// 1 and *query when text is one of the two forms with valid values; 0 otherwise.
int ParseTimeQuery(const char* text, size_t length, CTimeQuery* query);

// The key a query stands for on a log's clock. A query with a date on a dated log is that
// date and time; on a log without dates its time of day. A time-only query on a dated log
// means that time on the log's first day.
int64_t QueryKey(const CStampClock& clock, const CTimeQuery& query);

// A key as text: "yyyy-mm-dd hh:mm:ss" when dated, else "hh:mm:ss" (the time of day; a key
// of 24 h or more still prints its hours). out holds at least 24 bytes; NUL-terminated.
void FormatStampKey(int64_t key, bool dated, char* out, size_t capacity);
