// Display scale: the DPI a window is shown at, and pixel sizes given at 96 DPI scaled to it.
// Every fixed pixel measure of the views and bars is a size at 96 DPI passed through
// ScaleToDpi, so that nothing changes at 96 DPI. UI thread only.
#pragma once

#include <windows.h>

constexpr int kDefaultDpi = 96;

// The DPI of the window's monitor when the system tells it per window (Windows 10 1607
// and later), else the system DPI of the screen; 96 when nothing answers.
int WindowDpi(HWND window);

// A size in pixels at 96 DPI, at dpi, rounded to the nearest pixel.
inline int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kDefaultDpi); }

// For tests only: the DPI that WindowDpi answers for every window, whatever the system
// says; 0 ends the override.
void SetDpiOverride(int dpi);
