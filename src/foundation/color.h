// Colours as the platform stores them, and the two-colour entries of the colour table.
#pragma once

#include <cstdint>

// A colour in the 0x00BBGGRR form of the platform.
using CColorRef = uint32_t;

// One entry of the colour table: the text (or line) colour, then the background colour.
struct CColorEntry {
    CColorRef text;
    CColorRef background;
};
