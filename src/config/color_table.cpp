// Colour defaults in 0x00BBGGRR: the entry numbers are what views and keywords index by.
#include "config/color_table.h"

const CColorEntry kBaseColors[2] = {
    {0x000000, 0xFFFFFF},
    {0xC8C8C8, 0xFFFFFF},
};

const CColorName kBaseColorNames[2] = {
    {TextId::kColorTextNormal, 0, 0},
    {TextId::kColorRule, 1, 1},
};

const CColorEntry kAppColors[23] = {
    {0x000000, 0xFFFFFF},  // 0 normal text
    {0x000000, 0xE6E6E6},  // 1
    {0x000000, 0x00FFFF},  // 2 cursor line
    {0x000000, 0x00FF00},  // 3 marker line
    {0xFFFFFF, 0xFF0000},  // 4 selection
    {0xFFFFFF, 0xFF0000},  // 5 search match
    // The highlight colours keep their hues, darkened to a contrast of at least 4.5:1 on
    // white (pure green, yellow and magenta were hard to read).
    {0x0000C0, 0xFFFFFF},  // 6 highlight 1: dark red
    {0x008000, 0xFFFFFF},  // 7 highlight 2: green
    {0xFF0000, 0xFFFFFF},  // 8 highlight 3: blue
    {0x006699, 0xFFFFFF},  // 9 highlight 4: dark yellow
    {0x0050B0, 0xFFFFFF},  // 10 highlight 5: orange brown
    {0xA000A0, 0xFFFFFF},  // 11 highlight 6: purple
    {0x0000C8, 0xFFFFFF},  // 12 highlight 7: red
    {0x8C7800, 0xFFFFFF},  // 13 highlight 8: teal
    {0xFFFFFF, 0xFF0000},  // 14 header items
    {0x000000, 0xE6E6E6},  // 15 line numbers
    {0x000000, 0xE6E6E6},  // 16 intervals
    {0x808080, 0xFFFFFF},  // 17
    {0x808080, 0xFFFFFF},  // 18
    {0xFFFFFF, 0x0000FF},  // 19 error lines
    {0x0000FF, 0xFFFFFF},  // 20
    {0xC8C8C8, 0xFFFFFF},  // 21
    {0x808080, 0xFFFFFF},  // 22
};

const CColorName kAppColorNames[17] = {
    {TextId::kColorTextNormal, 0, 0},  {TextId::kColorCursor, 2, 0},      {TextId::kColorMarker, 3, 0},
    {TextId::kColorSelection, 4, 0},   {TextId::kColorSearch, 5, 0},      {TextId::kColorHighlight1, 6, 0},
    {TextId::kColorHighlight2, 7, 0},  {TextId::kColorHighlight3, 8, 0},  {TextId::kColorHighlight4, 9, 0},
    {TextId::kColorHighlight5, 10, 0}, {TextId::kColorHighlight6, 11, 0}, {TextId::kColorHighlight7, 12, 0},
    {TextId::kColorHighlight8, 13, 0}, {TextId::kColorHeader, 14, 0},     {TextId::kColorLineNumber, 15, 0},
    {TextId::kColorInterval, 16, 0},   {TextId::kColorError, 19, 0},
};
