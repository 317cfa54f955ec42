// Epoch times - seconds, milliseconds, TAI64N labels - as stamps in UTC, for the years 2000
// to 2099 only, where every fourth year is a leap year and the date is found without a loop.
#include "stamps/stamp_epoch.h"

#include <cstring>

#include "stamps/stamp_field_starts.h"
#include "stamps/stamp_text.h"

namespace {

// Days since 1970-01-01 to a civil date, for days from 2000 to 2099 only. Every fourth year
// is a leap year there, so the years are counted from March (the leap day last) in cycles of
// four from 1996-03-01, 1461 days each.
void CivilFromDays(uint32_t days, CStampFields* f) {
    uint32_t d = days - 9556;  // days since 1996-03-01
    uint32_t cycle = d / 1461, r = d % 1461;
    uint32_t year = r / 365 < 3 ? r / 365 : 3;
    uint32_t doy = r - 365 * year;
    uint32_t mp = (5 * doy + 2) / 153;
    f->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    f->month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f->year = static_cast<int>(1996 + 4 * cycle + year + (f->month <= 2 ? 1 : 0));
}

// The value of the eight digits at p, all read at once: each step joins neighbouring numbers
// of the step before (digits, then pairs, then fours) with one multiplication.
uint32_t EightDigits(const char* p) {
    uint64_t v = 0;
    std::memcpy(&v, p, 8);  // the first digit in the lowest byte
    v = ((v & 0x0F0F0F0F0F0F0F0F) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FF) * 6553601) >> 16;
    return static_cast<uint32_t>(((v & 0x0000FFFF0000FFFF) * 42949672960001) >> 32);
}

// The digits at p, n bytes on, counted one by one.
int CountDigits(const char* p, int n) {
    int k = 0;
    while (k < n && IsStampDigit(p[k])) ++k;
    return k;
}

constexpr uint64_t kEpoch2000 = 946684800;   // 2000-01-01 00:00:00 UTC
constexpr uint64_t kEpoch2100 = 4102444800;  // 2100-01-01 00:00:00 UTC

}  // namespace

int ReadEpochAt(const char* bytes, int length, int at, bool leading, CStampMatch* match) {
    int end = length - at < 14 ? length : at + 14;
    int k = at;
    while (k < end && IsStampDigit(bytes[k])) ++k;
    return ReadEpochDigits(bytes, length, at, k - at, leading, match);
}

int ReadEpochDigits(const char* bytes, int length, int at, int digits, bool leading, CStampMatch* match,
                    CEpochDay* cache) {
    if (digits != 10 && (digits != 13 || !leading)) return 0;
    // The first eight digits, and the two or five after them from the eight that end the run.
    const char* p = bytes + at;
    uint64_t value = digits == 10 ? uint64_t{EightDigits(p)} * 100 + EightDigits(p + 2) % 100
                                  : uint64_t{EightDigits(p)} * 100000 + EightDigits(p + 5) % 100000;
    int k = at + digits;
    uint64_t ms = value;
    if (digits == 10) {
        ms = value * 1000;
        if (k + 1 < length && bytes[k] == '.' && IsStampDigit(bytes[k + 1])) {
            const char* f = bytes + k + 1;
            int places = DigitsAt(f, length - k - 1);
            // Sixteen digits and more are counted on one by one (a fraction that long is rare).
            if (places == 16) places += CountDigits(f + 16, length - k - 17);
            ms += static_cast<unsigned>(FractionMilliseconds(f, places));
            // Beyond the first field, bare digits are as often an id or a count as a time.
            if (!leading && places != 3 && places != 6 && places != 9) return 0;
            k += 1 + places;
        } else if (!leading) {
            return 0;
        }
    }
    if (!IsStampFieldEnd(bytes, length, k) || !EpochStamp(ms, &match->stamp, cache)) return 0;
    match->form = digits == 13 ? StampForm::kEpochMilliseconds : StampForm::kEpochSeconds;
    match->offset = at;
    return 1;
}

bool EpochStandsAtLead(const char* bytes, int length, int at, int digits) {
    if (digits == 13) return true;
    int k = at + digits;
    if (digits != 10 || k + 1 >= length || bytes[k] != '.') return false;
    int places = DigitsAt(bytes + k + 1, length - k - 1);
    return places == 3 || places == 6 || places == 9;
}

int EpochStamp(uint64_t ms, CTimeStamp* stamp, CEpochDay* cache) {
    if (ms < kEpoch2000 * 1000 || ms >= kEpoch2100 * 1000) return 0;
    // A time on the cached day (nearly every line's) needs no division to find its day.
    constexpr uint64_t kDayMs = 86400000;
    bool cached = cache != nullptr && cache->days != 0 && ms - uint64_t{cache->days} * kDayMs < kDayMs;
    auto days = cached ? cache->days : static_cast<uint32_t>(ms / kDayMs);
    CEpochDay day;
    if (!cached) {
        CStampFields f;
        CivilFromDays(days, &f);
        day.days = days;
        day.date.year = static_cast<uint16_t>(f.year);
        day.date.month = static_cast<uint8_t>(f.month);
        day.date.day = static_cast<uint8_t>(f.day);
        if (cache != nullptr) *cache = day;
    } else {
        day = *cache;
    }
    *stamp = day.date;
    stamp->milliseconds = static_cast<uint32_t>(ms - uint64_t{days} * kDayMs);
    return 1;
}

int ReadTai64n(const char* bytes, int length, CStampMatch* match) {
    int at = 0;
    while (at < length && (bytes[at] == ' ' || bytes[at] == '\t')) ++at;
    if (length - at < 25 || bytes[at] != '@') return 0;
    uint64_t label = 0;
    uint32_t nanoseconds = 0;
    for (int k = 0; k < 24; ++k) {
        char c = bytes[at + 1 + k];
        unsigned digit = c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
                         : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                                : 16;
        if (digit > 15) return 0;
        if (k < 16) {
            label = label << 4 | digit;
        } else {
            nanoseconds = nanoseconds << 4 | digit;
        }
    }
    if (!IsStampFieldEnd(bytes, length, at + 25) || label >> 62 != 1 || nanoseconds >= 1000000000) return 0;
    // The label counts TAI seconds: UTC lags it by 10 s and the leap seconds since 1972 (22
    // by 1999, one more from each date here).
    constexpr uint64_t kLeaps[] = {1136073600, 1230768000, 1341100800, 1435708800, 1483228800};
    uint64_t seconds = label - (uint64_t{1} << 62) - 32;
    for (uint64_t leap : kLeaps) {
        if (seconds >= leap + 1) --seconds;
    }
    if (!EpochStamp(seconds * 1000 + nanoseconds / 1000000, &match->stamp)) return 0;
    match->form = StampForm::kTai64n;
    match->offset = at;
    return 1;
}
