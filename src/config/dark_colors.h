// Colour contrast (WCAG's relative luminance and contrast ratio) and the dark colour table,
// derived from the light one so that every text colour still reads at 4.5:1.
#pragma once

#include "foundation/color.h"

// The Dark Theme choice, as the settings file stores it.
constexpr int kDarkThemeOff = 0;
constexpr int kDarkThemeOn = 1;
constexpr int kDarkThemeSystem = 2;  // as the system's app mode says

// The contrast a text colour reaches against the backgrounds it is drawn on.
constexpr double kMinTextContrast = 4.5;
// The view's ground in the dark table: what white (the light view's ground) becomes.
constexpr CColorRef kDarkGround = 0x1E1E1E;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(CColorRef color);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(CColorRef a, CColorRef b);

// A background (or a line's colour) for the dark table: its hue and saturation kept, its
// luminance from the ground's (white) up to a level where light text still reads (full colours).
CColorRef DarkBackground(CColorRef light);
// A text colour for the dark table: its hue and saturation kept, its lightness mirrored when it
// was darker than lightBack, then raised until it reaches kMinTextContrast on each of backs.
CColorRef DarkText(CColorRef light, CColorRef lightBack, const CColorRef* backs, int count);
// A text colour of the given hue (degrees) and saturation that reads at kMinTextContrast on
// ground: from lightness 0.5, darker on a ground that black reads better on, else lighter
// (black or white when no lightness of the hue reaches it).
CColorRef HueReadingOn(double hueDegrees, double saturation, CColorRef ground);
// out[k] = the dark counterpart of light[k]: each text reads on its own dark background and on
// entry 0's (the view's ground). count >= 1; out and light may not overlap.
void MakeDarkColorTable(const CColorEntry* light, int count, CColorEntry* out);

// Whether the views draw dark: the choice, with the system's app mode for kDarkThemeSystem.
bool DarkThemeInForce(int choice, bool systemDark);
