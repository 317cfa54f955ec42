// The common clock of a merged view: how each log's stamps become one number that compares
// across logs, and the state a walk over one log's rows keeps.
//
// The rule. A key is milliseconds since 1970-01-01 00:00 on the stamps' own date and time
// (UTC for stamps that name their zone, which the stamp readers already convert), plus the
// log's offset. A log is dated by its first stamp that has a year: its stamps without a
// year take that year, its stamps of a time alone that stamp's day (CStampClock). A log
// with no year at all is dated on the day its file was last written: a time alone on that
// day, a month and day in that day's year (the year before when the month is later than
// that day's). When the day is not known either, the earliest first day of the other logs
// stands in (1970-01-01 when no log has one). A time alone moves to the next day each time
// it goes back by more than twelve hours (as CStampKeys counts), and a month and day without
// a year to the next year each time its month goes back by more than six (a log that passes
// New Year). Rows before a log's first
// stamp have kBeforeFirstStamp. A log's own order is kept: a row whose time goes back (a
// clock set back) takes the latest key seen before it in its log, so each log's keys never
// fall and the merge is a merge, not a sort.
#pragma once

#include <cstdint>

#include "document/log_line.h"
#include "stamps/stamp_clock.h"

// The key of the rows before a log's first stamp: before every other.
constexpr int64_t kBeforeFirstStamp = INT64_MIN;

// What a walk has to remember at a row to go on from there.
struct CMergeKeyState {
    int64_t latest = kBeforeFirstStamp;  // the largest key so far
    int64_t timeOnlyDays = 0;            // midnights a time alone has passed
    uint32_t lastTimeOnly = 0;           // the last time alone, ms of the day
    bool timeOnlySeen = false;
    int32_t yearsPassed = 0;  // New Years a stamp without a year has passed
    uint8_t lastMonth = 0;    // the month of the last stamp without a year
    // Set on the state before a block of rows whose keys need no walk: each row's key is
    // the larger of latest and its stamp's own key (CMergeKeys::SimpleKey), as in a block
    // whose stamps all have a year and a day and never go back.
    bool simple = false;
};

// One log's keys, row after row in its own order.
class CMergeKeys {
public:
    CMergeKeys() = default;
    CMergeKeys(const CStampClock& clock, int64_t offsetMs);

    // The key of the next row (its entry's stamp, own or inherited).
    int64_t Next(const CTimeStamp& stamp) {
        if (!stamp.HasDate()) return m_state.latest;
        int64_t key = OwnKey(stamp);
        if (key < m_lastOwn || stamp.year == 0 || stamp.IsTimeOnly()) m_simple = false;
        m_lastOwn = key;
        if (key > m_state.latest) m_state.latest = key;
        return m_state.latest;
    }
    // The key of a row in a simple block (CMergeKeyState::simple) whose state has latest:
    // the walk's answer without the walk. Uses only the clock, the offset and a day cache.
    int64_t SimpleKey(int64_t latest, const CTimeStamp& stamp) {
        if (!stamp.HasDate()) return latest;
        int64_t key = OwnKey(stamp);
        return key > latest ? key : latest;
    }
    // A block of rows begins; Simple() then says whether the rows since made it a simple one.
    void StartBlock() {
        m_simple = true;
        m_lastOwn = kBeforeFirstStamp;
    }
    bool Simple() const { return m_simple; }
    const CMergeKeyState& State() const { return m_state; }
    void Restore(const CMergeKeyState& state) { m_state = state; }
    const CStampClock& Clock() const { return m_clock; }
    int64_t OffsetMs() const { return m_offset; }

private:
    int64_t OwnKey(const CTimeStamp& stamp);
    // The year a stamp without one is in.
    uint16_t YearOf(const CTimeStamp& stamp);

    CStampClock m_clock;
    int64_t m_offset = 0;
    CMergeKeyState m_state;
    uint32_t m_date = 0xffffffff;  // the day of m_dayKey, as year, month and day
    int64_t m_dayKey = 0;
    int64_t m_firstYear = 0;  // the clock's, for stamps without a year
    int64_t m_lastOwn = kBeforeFirstStamp;
    bool m_simple = false;
};

// The clock of a log by the rule above: from its first stamp with a year, else from
// writtenDay (days since 1970-01-01, or CStampClock::kNoDay), else from fallbackDay.
// *hasOwnDay: whether the log was dated without the fallback. Walks the index up to its
// first stamp with a year (the whole index when it has none).
CStampClock MergeClockOf(const CLogLineList& index, int64_t writtenDay, int64_t fallbackDay, bool* hasOwnDay);

// A key as a stamp (UTC date and time on the common clock); all zero for kBeforeFirstStamp.
CTimeStamp StampOfKey(int64_t key);

// StampOfKey for many keys in a row: the day of the last one is kept, as neighbouring rows
// nearly always share it.
class CKeyStamps {
public:
    CTimeStamp Stamp(int64_t key) {
        if (m_dayStart <= key && key - m_dayStart < kMillisecondsPerDay) {
            CTimeStamp stamp = m_day;
            stamp.milliseconds = static_cast<uint32_t>(key - m_dayStart);
            return stamp;
        }
        return NewDay(key);
    }

private:
    CTimeStamp NewDay(int64_t key);

    int64_t m_dayStart = 1;  // the key of the kept day's midnight (1: none yet)
    CTimeStamp m_day;
};
