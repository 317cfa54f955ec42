// Terminal escape sequences in a row's text, the colour codes that programs writing to a
// terminal leave in their logs: hidden from the text that is shown, searched and copied,
// their colours kept as style runs of what is left. Portable, allocation-free.
#pragma once

#include <cstdint>

#include "foundation/color.h"

constexpr char16_t kEscapeUnit = 0x1B;

// A colour that a sequence asks for: the view's own (kTermDefault), entry n of the 256-colour
// palette (kTermIndexed | n: the 16 named colours, the 6x6x6 cube, the greys), or
// kTermRgb | 0xRRGGBB.
constexpr uint32_t kTermDefault = 0;
constexpr uint32_t kTermIndexed = 1u << 24;
constexpr uint32_t kTermRgb = 2u << 24;

struct CTermStyle {
    uint32_t foreground = kTermDefault;
    uint32_t background = kTermDefault;
    bool bold = false;
    bool operator==(const CTermStyle& o) const {
        return foreground == o.foreground && background == o.background && bold == o.bold;
    }
    bool operator!=(const CTermStyle& o) const { return !(*this == o); }
};

// The style of the shown units from start up to the next run's start.
struct CStyleRun {
    int32_t start;
    CTermStyle style;
};

// Room HideEscapes needs for the runs of count units: a new run needs a colour sequence
// (at least three units) before it.
inline int StyleRunCapacity(int count) { return (count > 0 ? count : 0) / 3 + 1; }

// True when the count units hold an escape character.
bool HasEscape(const char16_t* text, int count);

// Removes every escape character with the sequence it starts, in place, and returns the
// units left. The rule, kept simple:
//   ESC [ parameters (0x30-0x3F), intermediates (0x20-0x2F), one final unit (0x40-0x7E):
//     a control sequence; one ending in "m" whose parameters are digits, ";" and ":" sets
//     the colours (SGR: 0, 1, 22, 30-37, 39, 40-47, 49, 90-97, 100-107, 38/48;5;n and
//     38/48;2;r;g;b); every other one (ESC[K, ESC[2J, ESC[?25l) is only hidden;
//   ESC ] (and the string openers P X ^ _) up to BEL or ESC \: a title, a link;
//   ESC, intermediates, one final unit (0x30-0x7E): ESC ( B, ESC 7;
//   ESC before anything else: the ESC alone.
// A sequence ends before a unit that cannot continue it (that unit is shown; a line break
// always is), and one cut off by the end of the text is hidden to the end, so the shown
// text of a row's prefix is a prefix of the whole row's. Every text starts in the default
// style: a colour does not carry from one row to the next.
// runs, when not null, has room for StyleRunCapacity(count) entries and receives the
// styles of the shown text, *runCount of them: starts ascend from 0 and each run holds at
// least one unit (none at all for an empty result).
int HideEscapes(char16_t* text, int count, CStyleRun* runs = nullptr, int* runCount = nullptr);

// The platform colour of a colour that is not kTermDefault. The 16 named colours are those
// of the Windows console; text in them on a light view takes darker ones, so that yellow
// and white stay readable on white.
CColorRef TermColorRef(uint32_t color, bool background, bool lightView);
