// The timeline's time labels: the step they stand at and their text.
#include "search/timeline_axis.h"

#include <cstdio>

#include "stamps/stamp_clock.h"

namespace {

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;

// A step: a time in milliseconds, or a number of months (calendar months and years).
struct CStep {
    int64_t ms;
    int months;
};

constexpr CStep kSteps[] = {
    {kSecond, 0},
    {2 * kSecond, 0},
    {5 * kSecond, 0},
    {10 * kSecond, 0},
    {15 * kSecond, 0},
    {30 * kSecond, 0},
    {kMinute, 0},
    {2 * kMinute, 0},
    {5 * kMinute, 0},
    {10 * kMinute, 0},
    {15 * kMinute, 0},
    {30 * kMinute, 0},
    {kHour, 0},
    {2 * kHour, 0},
    {3 * kHour, 0},
    {6 * kHour, 0},
    {12 * kHour, 0},
    {kMillisecondsPerDay, 0},
    {2 * kMillisecondsPerDay, 0},
    {7 * kMillisecondsPerDay, 0},
    {0, 1},
    {0, 2},
    {0, 3},
    {0, 6},
    {0, 12},
    {0, 24},
    {0, 60},
    {0, 120},
    {0, 240},
    {0, 600},
    {0, 1200},
    {0, 2400},
};

int64_t FloorDivide(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0); }

// The longest label a step gives.
int LabelChars(const CStep& step, bool dated) {
    if (step.months >= 12) return 4;                           // 2024
    if (step.months > 0) return 7;                             // 2024-05
    if (step.ms >= kMillisecondsPerDay) return dated ? 5 : 6;  // 05-06, or 120:00 undated
    int time = step.ms < kMinute ? 8 : 5;                      // 08:00:05, 08:05
    if (!dated) time += 1;                                     // hours may run past 99 undated
    return dated && time < 5 ? 5 : time;
}

void TimeText(int64_t key, const CStep& step, bool dated, char* out, size_t capacity) {
    int64_t days = FloorDivide(key, kMillisecondsPerDay);
    int64_t ms = key - days * kMillisecondsPerDay;
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (dated) CivilFromDays(days, &year, &month, &day);
    if (dated && (step.months > 0 || step.ms >= kMillisecondsPerDay || ms == 0)) {
        if (step.months >= 12) {
            std::snprintf(out, capacity, "%04d", static_cast<int>(year));
        } else if (step.months > 0) {
            std::snprintf(out, capacity, "%04d-%02u", static_cast<int>(year), month);
        } else {
            std::snprintf(out, capacity, "%02u-%02u", month, day);
        }
        return;
    }
    // Undated keys are times of day that run on past midnight: their hours go past 24.
    int64_t seconds = (dated ? ms : key) / kSecond;
    auto hours = static_cast<long long>(seconds / 3600);
    auto minutes = static_cast<int>(seconds / 60 % 60);
    if (step.ms < kMinute) {
        std::snprintf(out, capacity, "%02lld:%02d:%02d", hours, minutes, static_cast<int>(seconds % 60));
    } else {
        std::snprintf(out, capacity, "%02lld:%02d", hours, minutes);
    }
}

// The first key of a step at or after key: whole steps from midnight, or the first day of a
// whole number of months.
int64_t FirstTick(int64_t key, const CStep& step) {
    if (step.months == 0) return FloorDivide(key + step.ms - 1, step.ms) * step.ms;
    int64_t days = FloorDivide(key, kMillisecondsPerDay);
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, &year, &month, &day);
    int64_t index = year * 12 + (month - 1);
    if (day > 1 || key > days * kMillisecondsPerDay) ++index;
    index = FloorDivide(index + step.months - 1, step.months) * step.months;
    return DaysFromCivil(FloorDivide(index, 12), static_cast<unsigned>(index - FloorDivide(index, 12) * 12) + 1, 1) *
           kMillisecondsPerDay;
}

int64_t NextTick(int64_t key, const CStep& step) {
    if (step.months == 0) return key + step.ms;
    return FirstTick(key + kMillisecondsPerDay, CStep{0, step.months});
}

// The step's length at its shortest, for the spacing of its labels.
int64_t ShortestLength(const CStep& step) {
    return step.months == 0 ? step.ms : int64_t{step.months} * 28 * kMillisecondsPerDay;
}

}  // namespace

int TimelineAxisLabels(int64_t start, int64_t end, int width, int limit, int charWidth, bool dated, CAxisLabel* out,
                       int capacity) {
    if (end <= start || width <= 0 || charWidth <= 0 || capacity <= 0) return 0;
    double span = static_cast<double>(end - start);
    const CStep* chosen = nullptr;
    for (const CStep& step : kSteps) {
        if (step.months > 0 && !dated) break;  // months mean nothing without dates
        double apart = static_cast<double>(ShortestLength(step)) * width / span;
        if (apart >= (LabelChars(step, dated) + 2) * charWidth) {
            chosen = &step;
            break;
        }
    }
    if (chosen == nullptr) return 0;
    int n = 0;
    for (int64_t key = FirstTick(start, *chosen); key < end && n < capacity; key = NextTick(key, *chosen)) {
        CAxisLabel label;
        label.key = key;
        label.x = static_cast<int>(static_cast<double>(key - start) * width / span);
        TimeText(key, *chosen, dated, label.text, sizeof label.text);
        int chars = 0;
        while (label.text[chars] != 0) ++chars;
        if (label.x + chars * charWidth > limit) break;
        out[n++] = label;
    }
    return n;
}

void BucketWidthUnit(int64_t widthMs, int64_t* count, int* unit) {
    int64_t seconds = widthMs / kSecond;
    if (seconds > 0 && seconds % 86400 == 0) {
        *count = seconds / 86400;
        *unit = 3;
    } else if (seconds > 0 && seconds % 3600 == 0) {
        *count = seconds / 3600;
        *unit = 2;
    } else if (seconds > 0 && seconds % 60 == 0) {
        *count = seconds / 60;
        *unit = 1;
    } else {
        *count = seconds;
        *unit = 0;
    }
}
