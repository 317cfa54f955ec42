// CViewSettings: what a log view draws and decodes with. The application builds it from the
// configuration and hands each view its own copy when the view is made and after every
// change of these settings; the view never reads the configuration for them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/color.h"

// Entries of the application's colour table (kAppColorCount).
constexpr int kViewColorCount = 23;

struct CViewSettings {
    // The colour table; an entry at or beyond colorCount paints black on black.
    CColorEntry colors[kViewColorCount] = {};
    int32_t colorCount = 0;
    // The font face (cut to what a LOGFONT holds) and its size at 96 DPI.
    char16_t fontFace[LF_FACESIZE] = u"Courier New";
    int32_t fontSize = 14;
    // The font's character set: Shift-JIS on a Japanese interface, else ANSI.
    uint8_t fontCharSet = ANSI_CHARSET;
    // The code page the log's bytes are decoded with.
    uint32_t codePage = 0;
    // Interval check: flag intervals of at least intervalTime milliseconds.
    int32_t intervalCheck = 0;
    int32_t intervalTime = 0;
    // The overview strip beside the scroll bar.
    int32_t overview = 0;
    // Colour codes: rows are shown, searched on the strip and copied without their escape
    // sequences, which colour the text instead (document/escape_codes.h).
    int32_t colorCodes = 0;
    // The colours are the dark table (config/dark_colors.h): what is drawn without an entry
    // of the table (the ground under everything, rules, the strip's frame) turns dark too.
    int32_t dark = 0;
    // View > Wrap Long Lines: a row wider than the message column goes on in further lines.
    int32_t wrap = 0;
};
