// Scroll-bar scaling: integer arithmetic in 128 bits, so that no row count overflows and
// the ends of the bar land on the ends of the rows exactly.
#include "document/scroll_scale.h"

namespace {

bool Fits(CScrollRange content) { return content.maximum <= kScrollBarUnits; }

int64_t Clamp(int64_t value, int64_t last) { return value < 0 ? 0 : value > last ? last : value; }

// value * to / from, rounded to the nearest; from > 0.
int64_t Rescale(int64_t value, int64_t to, int64_t from) {
    using Wide = unsigned __int128;
    Wide product = static_cast<Wide>(value) * static_cast<Wide>(to) + static_cast<Wide>(from / 2);
    return static_cast<int64_t>(product / static_cast<Wide>(from));
}

}  // namespace

int64_t LastScrollPosition(CScrollRange range) {
    int64_t last = range.maximum - range.page + 1;
    return last > 0 ? last : 0;
}

CScrollRange ScrollBarRange(CScrollRange content) {
    if (Fits(content)) return content;
    // The thumb keeps its share of the bar, but never shrinks to nothing.
    CScrollRange bar;
    bar.maximum = kScrollBarUnits;
    bar.page = content.page > 0 ? Rescale(content.page, kScrollBarUnits, content.maximum) : 0;
    if (content.page > 0 && bar.page < 1) bar.page = 1;
    return bar;
}

int64_t ScrollBarPosition(CScrollRange content, int64_t position) {
    int64_t last = LastScrollPosition(content);
    position = Clamp(position, last);
    if (Fits(content) || last == 0) return position;
    return Rescale(position, LastScrollPosition(ScrollBarRange(content)), last);
}

int64_t ScrollContentPosition(CScrollRange content, int64_t barPosition) {
    int64_t last = LastScrollPosition(content);
    if (Fits(content)) return Clamp(barPosition, last);
    int64_t barLast = LastScrollPosition(ScrollBarRange(content));
    if (barLast == 0) return 0;
    return Rescale(Clamp(barPosition, barLast), last, barLast);
}
