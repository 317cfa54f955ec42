// The time labels under a timeline's bars: where they stand and what they say, so that
// none overlaps another at any width. A label names a whole step of time (a second, five
// minutes, a day, a month, ...): the shortest step whose labels still fit apart; a label at
// midnight names the day instead of 00:00. Keys are those of a CStampClock.
#pragma once

#include <cstddef>
#include <cstdint>

struct CAxisLabel {
    int x = 0;           // pixels from the left end of the axis, where the label starts
    int64_t key = 0;     // the time it names
    char text[32] = {};  // room for any hour count, so nothing is cut
};

// The labels for keys from start to end (exclusive) drawn over width pixels, with labels
// that take charWidth pixels a character and at least a gap of two characters between
// them. Labels that would reach beyond limit pixels (the axis width, or less where something
// else is drawn at its end) are left out. Writes up to capacity; returns how many.
int TimelineAxisLabels(int64_t start, int64_t end, int width, int limit, int charWidth, bool dated, CAxisLabel* out,
                       int capacity);

// A bucket width as a short count and unit: *count and *unit (0 seconds, 1 minutes, 2 hours,
// 3 days); a width of no whole second is 0 seconds.
void BucketWidthUnit(int64_t widthMs, int64_t* count, int* unit);
