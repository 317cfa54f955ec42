// The keys of stamps of a time alone: the day they fall on, in logs dated by their first
// stamp, by the day their file was written, or not at all; a zone's shift on the calendar.
#include "stamps/stamp_clock.h"

#include <gtest/gtest.h>

#include <random>

#include "stamps/stamp_text.h"

namespace {

CTimeStamp Alone(uint32_t milliseconds) {
    CTimeStamp t;
    t.month = CTimeStamp::kTimeOnly;
    t.milliseconds = milliseconds;
    return t;
}

// Random runs of times alone, mostly rising with jumps back of every size around twelve
// hours: a key is the clock's first day (none when undated) plus a day for every step back of
// more than twelve hours so far, plus the time of day.
TEST(StampClockTest, TimesAloneAdvanceADayOnEveryStepBackOfMoreThanHalfADay) {
    std::mt19937 random(7);
    constexpr int64_t kHalf = kMillisecondsPerDay / 2;
    CTimeStamp dated;
    dated.year = 2023;
    dated.month = 12;
    dated.day = 31;
    dated.milliseconds = 0;
    for (int round = 0; round < 300; ++round) {
        int kind = round % 3;  // written on a day, dated by the first stamp, undated
        int64_t written = static_cast<int64_t>(random() % 40000) - 5000;
        uint32_t now = random() % kMillisecondsPerDay;
        CStampClock clock = kind == 0   ? CStampClock(Alone(now), written)
                            : kind == 1 ? CStampClock(dated, written)
                                        : CStampClock(Alone(now));
        int64_t firstDay = kind == 0 ? written * kMillisecondsPerDay : kind == 1 ? clock.Key(dated) : 0;
        ASSERT_EQ(kind != 2, clock.Dated());
        ASSERT_EQ(firstDay, clock.FirstDay());
        CStampKeys keys(clock);
        int64_t days = 0;
        uint32_t last = now;
        for (int step = 0; step < 60; ++step) {
            int64_t move = 0;
            switch (random() % 4) {
                case 0:
                    move = -kHalf + static_cast<int64_t>(random() % 3) - 1;
                    break;  // 12 h back, and a ms either way
                case 1:
                    move = -static_cast<int64_t>(random() % kMillisecondsPerDay);
                    break;
                default:
                    move = static_cast<int64_t>(random() % 5000000);
                    break;
            }
            int64_t next = (static_cast<int64_t>(now) + move) % kMillisecondsPerDay;
            now = static_cast<uint32_t>(next < 0 ? next + kMillisecondsPerDay : next);
            if (step > 0 && static_cast<int64_t>(now) + kHalf < last) ++days;
            last = now;
            ASSERT_EQ(firstDay + days * kMillisecondsPerDay + now, keys.Key(Alone(now)))
                << "round " << round << " step " << step;
        }
    }
    // A written day no calendar year can name leaves the log undated.
    EXPECT_FALSE(CStampClock(Alone(0), -800000).Dated());
    EXPECT_TRUE(CStampClock(Alone(0), 0).Dated());
}

// A zone shifts a stamp to UTC across days, months, years and leap days as the calendar's
// own arithmetic does; a stamp without a year keeps none, and one whose year would leave the
// range stays as written.
TEST(StampClockTest, AZoneShiftsTheDateAsTheCalendarDoes) {
    std::mt19937 random(11);
    const uint16_t years[] = {0, 1, 2, 1999, 2000, 2023, 2024, 2100, 9999, 65534, 65535};
    const int shifts[] = {1, -1, 60, -60, 540, -480, 780, -720, 1439, -1439, 5999, -5999};
    for (int k = 0; k < 200000; ++k) {
        CTimeStamp t;
        t.year = years[random() % (sizeof years / sizeof years[0])];
        t.month = static_cast<uint8_t>(1 + random() % 12);
        t.day = static_cast<uint8_t>(1 + random() % 31);
        int64_t probe = t.year != 0 ? t.year : (t.month == 2 && t.day == 29 ? 2000 : 2001);
        int64_t y = 0;
        unsigned m = 0;
        unsigned d = 0;
        CivilFromDays(DaysFromCivil(probe, t.month, t.day), &y, &m, &d);
        if (m != t.month) t.day = static_cast<uint8_t>(t.day - 3);  // keep to real dates
        // Times near both ends of the day, a leap second among them.
        uint32_t edges[] = {0, 1, 86399999, 86400500, static_cast<uint32_t>(random() % kMillisecondsPerDay)};
        t.milliseconds = edges[random() % 5];
        int shift = random() % 3 == 0 ? shifts[random() % (sizeof shifts / sizeof shifts[0])]
                                      : static_cast<int>(random() % 1681) - 840;
        // The reference: the date as days, shifted, and read back.
        probe = t.year != 0 ? t.year : (t.month == 2 && t.day == 29 ? 2000 : 2001);
        int64_t key = DaysFromCivil(probe, t.month, t.day) * kMillisecondsPerDay + t.milliseconds - shift * 60000LL;
        int64_t days = key / kMillisecondsPerDay - (key % kMillisecondsPerDay < 0 ? 1 : 0);
        CivilFromDays(days, &y, &m, &d);
        CTimeStamp want = t;
        if (shift != 0 && (t.year == 0 || (y >= 1 && y <= 65535))) {
            if (t.year != 0) want.year = static_cast<uint16_t>(y);
            want.month = static_cast<uint8_t>(m);
            want.day = static_cast<uint8_t>(d);
            want.milliseconds = static_cast<uint32_t>(key - days * kMillisecondsPerDay);
        }
        CTimeStamp got = t;
        ApplyZone(&got, shift);
        ASSERT_TRUE(got.year == want.year && got.month == want.month && got.day == want.day &&
                    got.milliseconds == want.milliseconds)
            << t.year << "-" << int{t.month} << "-" << int{t.day} << " " << t.milliseconds << " shift " << shift << ": "
            << got.year << "-" << int{got.month} << "-" << int{got.day} << " " << got.milliseconds;
    }
}

}  // namespace
