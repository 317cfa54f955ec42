// The keys of stamps of a time alone: the day they fall on, in logs dated by their first
// stamp, by the day their file was written, or not at all.
#include "stamps/stamp_clock.h"

#include <gtest/gtest.h>

#include <random>

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

}  // namespace
