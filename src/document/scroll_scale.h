// How a scroll range of any size sits on a Win32 scroll bar, whose range is 32-bit (and
// whose thumb position in a scroll message is 16-bit: read it with GetScrollInfo). Up to
// kScrollBarUnits positions the bar counts in the content's own units; beyond, the bar's
// range maps proportionally onto the content and its two ends map exactly onto the first
// and the last position, so the last page stays reachable with the thumb.
#pragma once

#include <cstdint>

// The most positions a bar is given.
constexpr int64_t kScrollBarUnits = int64_t{1} << 30;

// A content of maximum + 1 units (0..maximum) of which page show at once: the first unit
// shown ranges over 0..LastScrollPosition.
struct CScrollRange {
    int64_t maximum = 0;
    int64_t page = 0;
};

// The bar's maximum and page for a range; the same numbers while they fit.
CScrollRange ScrollBarRange(CScrollRange content);
// The largest first unit of a range: maximum - page + 1, at least 0.
int64_t LastScrollPosition(CScrollRange range);
// A content position as a bar position, and back; both clamped to the ends.
int64_t ScrollBarPosition(CScrollRange content, int64_t position);
int64_t ScrollContentPosition(CScrollRange content, int64_t barPosition);
