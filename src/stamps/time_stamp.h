// CTimeStamp, the recogniser of a time stamp at the start of a log line, and the
// interval rule between the rows of a view. All fields zero means "no time stamp".
#pragma once

#include <cstdint>

struct CTimeStamp {
    // The month of a stamp that gives the time of day alone (no year, no day).
    static constexpr uint8_t kTimeOnly = 13;

    uint16_t year = 0;          // 0 when the line gives no year
    uint8_t month = 0;          // 1..12, or kTimeOnly
    uint8_t day = 0;            // 1..31; 0 for a time alone
    uint32_t milliseconds = 0;  // time of day

    // Whether the line has a stamp (the name is older than stamps of a time alone).
    bool HasDate() const { return year != 0 || month != 0 || day != 0; }
    bool IsTimeOnly() const { return month == kTimeOnly; }
    bool operator==(const CTimeStamp& o) const {
        return year == o.year && month == o.month && day == o.day && milliseconds == o.milliseconds;
    }
};
static_assert(sizeof(CTimeStamp) == 8, "a time stamp is 8 bytes");

// Returns 1 and fills *stamp when the bytes (a whole line, break included) begin with a
// time stamp; otherwise 0 and *stamp is all zero.
int ParseTimeStamp(const char* bytes, int length, CTimeStamp* stamp);
// The same, and *end: where the reading stopped (after the fraction, or after the blanks that
// follow the seconds), 0 when there is no stamp.
int ParseTimeStampEnd(const char* bytes, int length, CTimeStamp* stamp, int* end);
// ParseTimeStampEnd without its quick path for the common form, which must agree with it.
int ParseTimeStampGeneral(const char* bytes, int length, CTimeStamp* stamp, int* end);

// The interval shown when the time went back (past midnight): 99:99:99.999.
constexpr int32_t kIntervalWrapped = 356400000;

// The interval of a row with a date part after the reference, as the cell shows it: the
// difference of the times of day, or kIntervalWrapped when the time went back.
int32_t IntervalAfter(const CTimeStamp& reference, const CTimeStamp& row);

// Walks the rows of a view in list order and yields each row's interval cell.
class CIntervalTracker {
public:
    explicit CIntervalTracker(const CTimeStamp& reference) : m_reference(reference) {}
    // For a row without a date part: 0 (empty cell, reference kept). Otherwise 1, with the
    // interval in *ms and its "%02d:%02d:%02d.%03d" text in text (64 units); the row
    // becomes the reference.
    int Next(const CTimeStamp& row, int32_t* ms, char16_t* text);

private:
    CTimeStamp m_reference;
};

// The interval check: on, and the interval (signed) at or above the threshold.
inline bool IntervalReachesThreshold(bool checkOn, int32_t intervalMs, int32_t thresholdMs) {
    return checkOn && intervalMs >= thresholdMs;
}
